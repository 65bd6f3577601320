// Where the caret is drawn and where a click puts it, measured on painted screens.
// Under Wine DirectWrite's hit tests fail, so this also proves the prefix-measuring
// path; on Windows the same checks hold through the hit tests.
#include <cmath>

#include "text_editing/field_on_screen.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class CaretOnScreen : public FieldOnScreen {};

TEST_F(CaretOnScreen, MaskedCaretSitsOnTheBulletsUntilRevealed) {
    Show(ScreenId::Login);
    Click("field.password");
    Type(L"WWWW");
    Key(VK_LEFT);
    Key(VK_LEFT);
    ASSERT_EQ(shell->caret, 2u);
    const D2D_RECT_F value = ValueRect(Region("field.password").rect, true);
    const std::wstring bullets(4, L'\u2022');
    const float onBullets = value.left + PrefixWidth(bullets, 2, value);
    const float onLetters = value.left + PrefixWidth(L"WWWW", 2, value);
    ASSERT_GT(onLetters, onBullets + 8) << "W is much wider than a bullet";
    EXPECT_NEAR(CaretColumn(value), onBullets, 2.0f);

    // A click just right of the second bullet's edge lands there, not in the letters.
    ClickAt(onBullets + 1, (value.top + value.bottom) / 2);
    EXPECT_EQ(shell->caret, 2u);

    Click("reveal.field.password");
    EXPECT_NEAR(CaretColumn(value), onLetters, 2.0f);
    ClickAt(onLetters - 1, (value.top + value.bottom) / 2);
    EXPECT_EQ(shell->caret, 2u);
}

TEST_F(CaretOnScreen, ClicksAndKeysPutTheCaretOnCharacterEdges) {
    Show(ScreenId::ForgotPassword);
    Click("field.email");
    Type(L"WiWiW");
    const D2D_RECT_F value = ValueRect(Region("field.email").rect, false);
    const float y = (value.top + value.bottom) / 2;
    for (size_t position = 0; position <= 5; ++position) {
        SCOPED_TRACE(position);
        const float edge = value.left + PrefixWidth(L"WiWiW", position, value);
        ClickAt(edge + 0.5f, y);
        EXPECT_EQ(shell->caret, position);
        EXPECT_NEAR(CaretColumn(value), edge, 2.0f);
    }
    Key(VK_HOME);
    EXPECT_NEAR(CaretColumn(value), value.left, 2.0f);
}

TEST_F(CaretOnScreen, ALongValueStaysOnOneLineAndFollowsTheCaret) {
    shell->registerTab = true;
    Show(ScreenId::Login);
    Click("field.email");  // the narrow e-mail field of the registration tab
    std::wstring text;  // with break opportunities, so a wrapping layout would wrap it
    for (int i = 0; i < 10; ++i) text += L"north-";
    text += L"wind";
    Type(text);
    ASSERT_EQ(Value("field.email"), text);
    const D2D_RECT_F box = Region("field.email").rect;
    const D2D_RECT_F value = ValueRect(box, false);

    // One line: the caret is as tall as at the start and sits at the right edge.
    shell->bodyFormat->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
    shell->bodyFormat->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    FieldTextGeometry geometry(shell->dwriteFactory.Get(), shell->bodyFormat.Get(), text, value.right - value.left,
                               value.bottom - value.top);
    float x0 = 0, top0 = 0, h0 = 0, x64 = 0, top64 = 0, h64 = 0;
    ASSERT_TRUE(geometry.CaretAt(0, x0, top0, h0));
    ASSERT_TRUE(geometry.CaretAt(64, x64, top64, h64));
    EXPECT_FLOAT_EQ(top0, top64);
    ASSERT_GT(x64, 1.5f * (value.right - value.left)) << "the value is wider than its box";
    const float endScroll = geometry.ScrollFor(64);
    EXPECT_GT(endScroll, 0.0f);

    int inkRows = 0;
    for (int y = static_cast<int>(value.top); y < static_cast<int>(value.bottom); ++y) {
        inkRows += LitPixels(static_cast<int>(value.left), y, static_cast<int>(value.right) - 4, y + 1) > 0;
    }
    EXPECT_LE(inkRows, 22) << "one line of text, not lines stacked in the box";
    const float caret = CaretColumn(value);
    EXPECT_GT(caret, value.right - 6) << "the caret stays visible at the right edge";
    EXPECT_LT(caret, value.right + 1);
    EXPECT_EQ(LitPixels(static_cast<int>(value.right) + 2, static_cast<int>(box.top) + 30,
                        static_cast<int>(box.right) - 4, static_cast<int>(box.bottom) - 6),
              0)
        << "nothing spills past the value rectangle";

    // A click in the scrolled value lands on the character under it.
    const float clickX = value.left + 40;
    const size_t expected = geometry.PositionAt(clickX - value.left + endScroll, (value.bottom - value.top) / 2);
    ClickAt(clickX, (value.top + value.bottom) / 2);
    EXPECT_EQ(shell->caret, expected);
    EXPECT_GT(shell->caret, 10u) << "the hidden start is counted";

    Key(VK_HOME);
    EXPECT_NEAR(CaretColumn(value), value.left, 2.0f) << "back at the start, the value is not shifted";
    Click("field.nickname");
    Paint();
    EXPECT_GT(LitPixels(static_cast<int>(value.left), static_cast<int>(value.top) + 6,
                        static_cast<int>(value.left) + 20, static_cast<int>(value.bottom)),
              5)
        << "an unfocused field shows the beginning of its value";
}

TEST(FieldLayout, AWrappingLayoutWouldStackALongValue) {
    // Why the field turns wrapping off: the shared face wraps by default.
    Microsoft::WRL::ComPtr<IDWriteFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                                 reinterpret_cast<IUnknown**>(factory.GetAddressOf())));
    Microsoft::WRL::ComPtr<IDWriteTextFormat> format;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                                       DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, 18.0f,
                                                       L"uk-UA", &format));
    const std::wstring text = L"a.very.long.operator.name@tarvonix-volley-example.net";
    Microsoft::WRL::ComPtr<IDWriteTextLayout> plain;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateTextLayout(text.c_str(), static_cast<UINT32>(text.size()), format.Get(),
                                                       246.0f, 39.0f, &plain));
    DWRITE_TEXT_METRICS wrapped{};
    ASSERT_HRESULT_SUCCEEDED(plain->GetMetrics(&wrapped));
    EXPECT_GT(wrapped.lineCount, 1u);

    FieldTextGeometry field(factory.Get(), format.Get(), text, 246.0f, 39.0f);
    DWRITE_TEXT_METRICS single{};
    ASSERT_HRESULT_SUCCEEDED(field.Layout()->GetMetrics(&single));
    EXPECT_EQ(single.lineCount, 1u);
    EXPECT_GT(single.widthIncludingTrailingWhitespace, 246.0f);
}

}  // namespace
}  // namespace tarvo::ui::test
