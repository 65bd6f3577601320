// The shared widgets drawn alone: their regions, looks and the image cache; the
// heading faces.
#include <cwchar>

#include "common/text_utils.h"
#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {
namespace {

class Widgets : public CanvasFixture {};

// A colour at its alpha over the canvas.
D2D1_COLOR_F Over(D2D1_COLOR_F c, float alpha) {
    const D2D1_COLOR_F& g = Colors::Background;
    return {c.r * alpha + g.r * (1 - alpha), c.g * alpha + g.g * (1 - alpha), c.b * alpha + g.b * (1 - alpha), 1};
}

// Fill, label colour and marker bar of a button in each state.
TEST_F(Widgets, ButtonLooksByState) {
    struct Case {
        bool primary, danger, hovered;
        D2D1_COLOR_F fill;
        D2D1_COLOR_F label;
    };
    const Case cases[] = {
        {true, false, false, Over(Colors::Accent, 0.88f), Colors::Background},
        {true, false, true, Colors::Accent, Colors::Background},
        {true, true, false, Over(Colors::Danger, 0.88f), Colors::Background},
        {false, false, false, Over(Colors::SurfaceRaised, 0.98f), Colors::Text},
        {false, false, true, Over(Colors::Accent, 0.13f), Colors::Accent},
        {false, true, false, Over(Colors::SurfaceRaised, 0.98f), Colors::Text},
        {false, true, true, Over(Colors::Danger, 0.13f), Colors::Danger},
    };
    const D2D_RECT_F rect = D2D1::RectF(100, 100, 400, 160);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "primary " << c.primary << ", danger " << c.danger << ", hovered " << c.hovered);
        shell->hoverCommand = c.hovered ? "app.go" : "nav.other";
        DrawAlone([&] { shell->Button(rect, L"ГРАТИ", "app.go", c.primary, c.danger); });
        ExpectRegions({{"app.go", rect}});
        ExpectTexts({{L"ГРАТИ", {}, rect, c.label, Face::Heading, kCentre, c.danger}});
        const Rgb fill = Pixel(150, 104);
        EXPECT_TRUE(Near(fill, c.fill, 3)) << fill.r << ", " << fill.g << ", " << fill.b;
        EXPECT_TRUE(Near(Pixel(101, 130), c.danger ? Colors::Danger : Colors::Accent)) << "marker bar";
    }
}

TEST_F(Widgets, LongLabelsStayInsideTheirButton) {
    const D2D_RECT_F rect = D2D1::RectF(100, 100, 260, 150);
    DrawAlone([&] { shell->Button(rect, L"ДУЖЕ ДОВГИЙ НАПИС НА КНОПЦІ", "x", false, false); });
    ExpectTexts({{L"ДУЖЕ ДОВГИЙ НАПИС НА КНОПЦІ", {}, rect, Colors::Text, Face::Body, kCentre}});  // too wide: the body face
    EXPECT_EQ(LitPixels(262, 90, 700, 160), 0) << "clipped to the rectangle";
}

// The longest headings of the screens stay on one line inside their rectangles in
// both languages, whichever heading face the machine offers (Bahnschrift or a narrow
// stand-in). The resolution and display-mode labels end before their first button.
TEST_F(Widgets, HeadingFacesKeepTheLongestHeadingsOnOneLine) {
    struct Heading {
        const wchar_t* text;
        IDWriteTextFormat* format;
        float room;  // DIP
    };
    const Heading headings[] = {
        {L"ТВІЙ БОЙОВИЙ ФРОНТ", shell->displayFormat.Get(), 850},       // sign-in hero
        {L"THE COMPETITIVE FRONTIER", shell->displayFormat.Get(), 850},
        {L"СТВОРИТИ АКАУНТ", shell->titleFormat.Get(), 570},            // registration title
        {L"CREATE ACCOUNT", shell->titleFormat.Get(), 570},
        {L"РОЗДІЛЬНА ЗДАТНІСТЬ", shell->headingFormat.Get(), 260},      // graphics, label at 500, button at 760
        {L"RESOLUTION", shell->headingFormat.Get(), 260},
        {L"РЕЖИМ ЕКРАНА", shell->headingFormat.Get(), 260},
        {L"НЕМАЄ АКТИВНОГО АКАУНТА", shell->titleFormat.Get(), 700},    // settings, account
        {L"NO ACTIVE ACCOUNT", shell->titleFormat.Get(), 700},
    };
    for (const Heading& h : headings) {
        Microsoft::WRL::ComPtr<IDWriteTextLayout> layout;
        ASSERT_HRESULT_SUCCEEDED(shell->dwriteFactory->CreateTextLayout(h.text, static_cast<UINT32>(wcslen(h.text)),
                                                                         h.format, h.room, 1000.0f, &layout));
        DWRITE_TEXT_METRICS metrics{};
        ASSERT_HRESULT_SUCCEEDED(layout->GetMetrics(&metrics));
        const std::string name = distribution::WideToUtf8(h.text);
        EXPECT_EQ(metrics.lineCount, 1u) << name << " wraps";
        EXPECT_LE(metrics.widthIncludingTrailingWhitespace, h.room) << name;
    }
}

TEST_F(Widgets, TextFieldRegionsAndMasking) {
    const D2D_RECT_F rect = D2D1::RectF(300, 200, 900, 270);
    DrawAlone([&] { shell->TextField(rect, L"Email", "field.email", false); });
    ASSERT_EQ(Commands(), std::vector<std::string>{"field.email"});
    ExpectTexts(Field(L"Email", {}, rect));
    EXPECT_EQ(shell->fieldValues.count("field.email"), 1u) << "drawing creates the empty entry";

    shell->fieldValues["field.password"] = L"abc";
    DrawAlone([&] { shell->TextField(rect, L"Пароль", "field.password", true); });
    ASSERT_EQ(Commands(), (std::vector<std::string>{"field.password", "reveal.field.password"}));
    const D2D_RECT_F eye = shell->hitRegions[1].rect;
    EXPECT_FLOAT_EQ(eye.left, 838.0f);
    EXPECT_FLOAT_EQ(eye.top, 200.0f);
    EXPECT_FLOAT_EQ(eye.right, 900.0f);
    EXPECT_FLOAT_EQ(eye.bottom, 270.0f);
    EXPECT_FALSE(shell->revealedFields.at("field.password"));
    const int masked = LitPixels(318, 224, 834, 265);
    const Rgb idleEye = Pixel(852, 241);

    shell->Dispatch("reveal.field.password");
    DrawAlone([&] { shell->TextField(rect, L"Пароль", "field.password", true); });
    const int clear = LitPixels(318, 224, 834, 265);
    EXPECT_GT(masked, 10);
    EXPECT_GT(clear, 10);
    EXPECT_NE(masked, clear) << "bullets, then the letters";
    const Rgb pupil = Pixel(867, 241);
    EXPECT_GT(pupil.g, 200) << "the revealed eye has an accent pupil";
    EXPECT_LT(idleEye.g, 200);
}

TEST_F(Widgets, EmptyFieldShowsADashWithoutCaret) {
    const D2D_RECT_F rect = D2D1::RectF(300, 200, 900, 270);
    shell->focusedField = "field.email";
    DrawAlone([&] { shell->TextField(rect, L"Email", "field.email", false); });
    ExpectTexts({{L"Email", {}, {318, 205, 884, 227}, Colors::Cyan, Face::Caption},
                 {L"\u2014", {}, {318, 224, 884, 265}, WithAlpha(Colors::Muted, 0.5f), Face::Body}});
    EXPECT_EQ(LitPixels(318, 226, 834, 265), 0) << "the dash is half-alpha muted, no accent caret";
    const Rgb outline = Pixel(600, 200);
    EXPECT_GT(outline.b, 200) << "focused outline";
}

TEST_F(Widgets, FocusedFieldDrawsSelectionUnderTheTextAndTheCaret) {
    const D2D_RECT_F rect = D2D1::RectF(300, 200, 900, 270);
    shell->fieldValues["field.email"] = L"WWWWWWWW";
    shell->focusedField = "field.email";
    shell->caret = 8;
    shell->selectionAnchor = 4;
    shell->fieldErrors["field.email"] = L"Невірна пошта";
    DrawAlone([&] { shell->TextField(rect, L"Email", "field.email", false); });
    int highlighted = 0;
    for (int x = 318; x < 834; ++x) {
        const Rgb c = Pixel(x, 236);
        highlighted += (c.b > 80 && c.b > c.r + 40);
    }
    EXPECT_GT(highlighted, 10) << "cyan selection behind the second half";
    int before = 0;
    for (int x = 318; x < 330; ++x) {
        const Rgb c = Pixel(x, 236);
        before += (c.b > 80 && c.b > c.r + 40);
    }
    EXPECT_EQ(before, 0) << "nothing selected at the start";
    ExpectTexts({{L"Email", {}, {318, 205, 884, 227}, Colors::Cyan, Face::Caption},
                 {L"Невірна пошта", {}, {308, 271, 900, 295}, Colors::Danger, Face::Caption}});
}

TEST_F(Widgets, CheckboxIsOneTargetWithItsLabel) {
    DrawAlone([&] { shell->Checkbox(1130, 600, L"Запам'ятати цей пристрій", "auth.remember", true); });
    ASSERT_EQ(Commands(), std::vector<std::string>{"auth.remember"});
    const D2D_RECT_F r = shell->hitRegions[0].rect;
    EXPECT_FLOAT_EQ(r.left, 1130.0f);
    EXPECT_FLOAT_EQ(r.top, 594.0f);
    EXPECT_FLOAT_EQ(r.right, 1590.0f);
    EXPECT_FLOAT_EQ(r.bottom, 632.0f);
    ExpectTexts({{L"Запам'ятати цей пристрій", {}, {1166, 595, 1570, 630}, Colors::Muted, Face::Body}});
    EXPECT_TRUE(Near(Pixel(1133, 603), Colors::Accent)) << "checked box in accent";
    DrawAlone([&] { shell->Checkbox(1130, 600, L"x", "auth.remember", false); });
    EXPECT_LT(Pixel(1133, 603).g, 60);
}

TEST_F(Widgets, TopBrandDrawsNameUnderlineAndVersion) {
    DrawAlone([&] { shell->TopBrand(L"ОБЛІКОВИЙ ЗАПИС"); });
    EXPECT_TRUE(shell->hitRegions.empty());
    ExpectTexts(Brand(L"ОБЛІКОВИЙ ЗАПИС"));
    EXPECT_TRUE(Near(Pixel(100, 93), Colors::Accent)) << "underline";
    EXPECT_FALSE(Near(Pixel(216, 93), Colors::Accent)) << "143 wide";
}

TEST_F(Widgets, ImagesAreDecodedOnceAndAgainAfterTheDeviceIsDropped) {
    testing::TempFolder folder;
    const std::filesystem::path png = folder.Path() / "avatar.png";
    {
        // A 4 x 4 opaque red PNG written through WIC.
        Microsoft::WRL::ComPtr<IWICStream> stream;
        Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
        Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateStream(&stream));
        ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(png.c_str(), GENERIC_WRITE));
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder));
        ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
        ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->Initialize(nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->SetSize(4, 4));
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
        std::vector<BYTE> red(4 * 4 * 4);
        for (size_t i = 0; i < red.size(); i += 4) red[i + 2] = red[i + 3] = 255;
        ASSERT_HRESULT_SUCCEEDED(frame->WritePixels(4, 16, static_cast<UINT>(red.size()), red.data()));
        ASSERT_HRESULT_SUCCEEDED(frame->Commit());
        ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
    }
    bool drawn = false;
    DrawAlone([&] { drawn = shell->DrawImage(png, D2D1::RectF(10, 10, 110, 110), 1.0f); });
    EXPECT_TRUE(drawn);
    EXPECT_EQ(shell->bitmapCache.size(), 1u);
    EXPECT_GT(Pixel(60, 60).r, 240);
    EXPECT_LT(Pixel(60, 60).g, 20);

    bool missing = true;
    DrawAlone([&] { missing = shell->DrawImage(folder.Path() / "none.png", D2D1::RectF(0, 0, 5, 5), 1.0f); });
    EXPECT_FALSE(missing);
    EXPECT_EQ(shell->bitmapCache.size(), 1u) << "a missing image is not cached";

    shell->DiscardDeviceResources();
    EXPECT_TRUE(shell->bitmapCache.empty());
    EXPECT_FALSE(shell->DrawImage(png, D2D1::RectF(0, 0, 5, 5), 1.0f)) << "no target, no drawing";
    AttachTarget();
    DrawAlone([&] { drawn = shell->DrawImage(png, D2D1::RectF(10, 10, 110, 110), 0.5f); });
    EXPECT_TRUE(drawn);
    EXPECT_EQ(shell->bitmapCache.size(), 1u);
    EXPECT_GT(Pixel(60, 60).r, 100);
    EXPECT_LT(Pixel(60, 60).r, 160) << "half opacity";
}

}  // namespace
}  // namespace tarvo::ui::test
