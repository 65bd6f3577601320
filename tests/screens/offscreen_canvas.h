#pragma once
// A shell whose screens draw into a 1920 x 1080 WIC bitmap (scale 1, no offset),
// so the hit regions, texts and pixels of a paint can be checked without a window.
#include <wincodec.h>

#include <cstdio>

#include "common/text_utils.h"
#include "shell/shell_fixture.h"

namespace tarvo::ui::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// ---- What a screen shows, written down from its rules ----------------------------
// The shell's five faces; Fit is a button label, drawn in the heading face or, when
// it does not fit its button, in the body face.
enum class Face { Display, Title, Heading, Body, Caption, Fit };
constexpr DWRITE_TEXT_ALIGNMENT kLeading = DWRITE_TEXT_ALIGNMENT_LEADING;
constexpr DWRITE_TEXT_ALIGNMENT kCentre = DWRITE_TEXT_ALIGNMENT_CENTER;

// One text: Ukrainian, English (empty: the same), its rectangle, colour, face and
// horizontal alignment (every shell text is centred vertically).
struct Shown {
    std::wstring uk, en;
    D2D_RECT_F rect{};
    D2D1_COLOR_F color{};
    Face face = Face::Body;
    DWRITE_TEXT_ALIGNMENT align = kLeading;
    bool danger = false;  // a button label: its marker bar in Danger rather than Accent
};
using Texts = std::vector<Shown>;

inline void Append(Texts& all, const Shown& one) { all.push_back(one); }
inline void Append(Texts& all, const Texts& some) { all.insert(all.end(), some.begin(), some.end()); }
template <typename... Parts>
Texts Join(const Parts&... parts) {
    Texts all;
    (Append(all, parts), ...);
    return all;
}

// The brand header: name, subtitle and version.
inline Texts Brand(std::wstring uk, std::wstring en = {}) {
    return {{L"TARVONIX VOLLEY", {}, {72, 38, 520, 92}, Colors::Text, Face::Heading},
            {std::move(uk), std::move(en), {72, 102, 592, 132}, Colors::Muted, Face::Caption},
            {L"0.0.03.5", {}, {1580, 45, 1850, 75}, Colors::Muted, Face::Caption}};
}
// Button labels: a primary button writes in the canvas colour on its filled face, an
// idle plain one in Text on the raised surface. The check also reads the button's
// marker bar: Danger for a danger button, else Accent.
inline Shown Primary(std::wstring uk, std::wstring en, D2D_RECT_F r) {
    return {std::move(uk), std::move(en), r, Colors::Background, Face::Fit, kCentre};
}
inline Shown Plain(std::wstring uk, std::wstring en, D2D_RECT_F r, bool danger = false) {
    return {std::move(uk), std::move(en), r, Colors::Text, Face::Fit, kCentre, danger};
}
// An idle, empty field: its caption and the half-muted dash in the value rectangle.
inline Texts Field(std::wstring uk, std::wstring en, D2D_RECT_F r, bool password = false) {
    return {{std::move(uk), std::move(en), {r.left + 18, r.top + 5, r.right - 16, r.top + 27}, Colors::Muted, Face::Caption},
            {L"\u2014", {}, {r.left + 18, r.top + 24, r.right - (password ? 66.0f : 16.0f), r.bottom - 5},
             WithAlpha(Colors::Muted, 0.5f), Face::Body}};
}
inline Shown Chip(std::wstring uk, std::wstring en, D2D_RECT_F r, D2D1_COLOR_F color) {
    return {std::move(uk), std::move(en), r, color, Face::Caption, kCentre};
}
// The footer of screens 8 and above: the privacy link and the version.
inline Texts Footer() {
    return {{L"ПОЛІТИКА КОНФІДЕНЦІЙНОСТІ", L"PRIVACY POLICY", {1335, 1018, 1675, 1064}, Colors::Cyan, Face::Caption, kCentre},
            {L"0.0.03.5", {}, {1720, 1018, 1848, 1064}, Colors::Accent, Face::Caption, DWRITE_TEXT_ALIGNMENT_TRAILING}};
}

// A hit region as a screen should leave it.
struct ExpectedRegion {
    std::string command;
    D2D_RECT_F rect;
};

inline std::string RectText(const D2D_RECT_F& r) {
    char text[96];
    std::snprintf(text, sizeof text, "{%g, %g, %g, %g}", r.left, r.top, r.right, r.bottom);
    return text;
}

inline std::string ColorName(D2D1_COLOR_F c) {
    static const std::pair<const char*, D2D1_COLOR_F> palette[] = {
        {"Background", Colors::Background}, {"Text", Colors::Text},     {"Border", Colors::Border},
        {"Accent", Colors::Accent},         {"Cyan", Colors::Cyan},     {"Muted", Colors::Muted},
        {"Danger", Colors::Danger},         {"SurfaceRaised", Colors::SurfaceRaised},
        {"Surface", Colors::Surface},       {"Success", Colors::Success}};
    const auto same = [](float a, float b) { return a > b - 1e-4f && a < b + 1e-4f; };
    char alpha[16];
    std::snprintf(alpha, sizeof alpha, "@%.2f", c.a);
    for (const auto& [name, p] : palette) {
        if (same(c.r, p.r) && same(c.g, p.g) && same(c.b, p.b)) return std::string(name) + (same(c.a, p.a) ? "" : alpha);
    }
    char rgba[64];
    std::snprintf(rgba, sizeof rgba, "rgba(%.3f, %.3f, %.3f, %.2f)", c.r, c.g, c.b, c.a);
    return rgba;
}

class CanvasFixture : public ShellFixture {
protected:
    void SetUp() override { Build(ProductKind::Game); }

    void Build(ProductKind kind) {
        shell = MakeShell(kind);
        shell->drawnTexts = &drawn;
        ASSERT_HRESULT_SUCCEEDED(shell->CreateGraphicsFactories());
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateBitmap(1920, 1080, GUID_WICPixelFormat32bppPBGRA,
                                                                 WICBitmapCacheOnLoad, &bitmap));
        AttachTarget();
    }

    void AttachTarget() {
        const auto properties = D2D1::RenderTargetProperties(
            D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED),
            96.0f, 96.0f);
        Microsoft::WRL::ComPtr<ID2D1RenderTarget> target;
        ASSERT_HRESULT_SUCCEEDED(shell->d2dFactory->CreateWicBitmapRenderTarget(bitmap.Get(), properties, &target));
        shell->renderTarget = target;
        shell->brush.Reset();
    }

    // One whole shell paint of the current screen.
    void Paint() {
        drawn.clear();
        ASSERT_HRESULT_SUCCEEDED(shell->PaintCanvas(1920.0f, 1080.0f));
        ReadPixels();
    }

    // Draws with `draw` on a cleared canvas, outside the shell's paint sequence.
    template <typename Draw>
    void DrawAlone(Draw draw) {
        if (!shell->brush) {
            ASSERT_HRESULT_SUCCEEDED(shell->renderTarget->CreateSolidColorBrush(Colors::Text, &shell->brush));
        }
        shell->hitRegions.clear();
        drawn.clear();
        shell->renderTarget->BeginDraw();
        shell->renderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
        shell->renderTarget->Clear(Colors::Background);
        draw();
        ASSERT_HRESULT_SUCCEEDED(shell->renderTarget->EndDraw());
        ReadPixels();
    }

    // The pixel is the opaque colour, give or take what blending and rounding leave.
    static bool Near(Rgb c, D2D1_COLOR_F color, int tolerance = 6) {
        const auto close = [&](int channel, float value) { return std::abs(channel - value * 255.0f) <= tolerance; };
        return close(c.r, color.r) && close(c.g, color.g) && close(c.b, color.b);
    }

    Rgb Pixel(int x, int y) const {
        const BYTE* p = &pixels[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4];
        return Rgb{p[2], p[1], p[0]};
    }

    // Pixels in the rectangle brighter than the dark canvas (any channel above 90).
    int LitPixels(int left, int top, int right, int bottom) const {
        int lit = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const Rgb c = Pixel(x, y);
                lit += (c.r > 90 || c.g > 90 || c.b > 90);
            }
        }
        return lit;
    }

    // Every text of the last paint, in drawing order, against the expected ones in the
    // current language. Reports the first difference.
    void ExpectTexts(const Texts& expected) const {
        const bool english = shell->localization.CurrentLocale() == localization::Locale::English;
        for (size_t i = 0; i < std::max(expected.size(), drawn.size()); ++i) {
            std::string got = "nothing", want = "nothing", face;
            if (i < drawn.size()) {
                const DrawnText& d = drawn[i];
                face = FaceOf(d.format);
                got = Describe(d.text, face, d.rect, d.color, d.align);
            }
            if (i < expected.size()) {
                const Shown& e = expected[i];
                if (e.face != Face::Fit || (face != "Heading" && face != "Body")) face = kFaceNames[static_cast<int>(e.face)];
                want = Describe(english && !e.en.empty() ? e.en : e.uk, face, e.rect, e.color, e.align);
            }
            if (got != want) {
                ADD_FAILURE() << (english ? "English" : "Ukrainian") << " text " << i << " of " << drawn.size()
                              << "\n  drawn:    " << got << "\n  expected: " << want;
                return;
            }
            if (i < expected.size() && expected[i].face == Face::Fit) {
                const D2D_RECT_F& r = expected[i].rect;
                const Rgb bar = Pixel(static_cast<int>(r.left) + 1, static_cast<int>((r.top + r.bottom) / 2));
                EXPECT_TRUE(expected[i].danger ? Near(bar, Colors::Danger) : Near(bar, Colors::Accent))
                    << want << ": marker bar " << bar.r << ", " << bar.g << ", " << bar.b;
            }
        }
    }
    // The same in both languages; each paints the current screen.
    void ExpectTextsInBothLanguages(const Texts& expected) {
        for (const auto locale : {localization::Locale::Ukrainian, localization::Locale::English}) {
            shell->localization.SetLocale(locale);
            Paint();
            ExpectTexts(expected);
        }
        shell->localization.SetLocale(localization::Locale::Ukrainian);
    }

    // The regions of the last paint as a whole: commands in drawing order and rectangles.
    void ExpectRegions(const std::vector<ExpectedRegion>& expected) const {
        std::vector<std::string> wanted;
        for (const auto& e : expected) wanted.push_back(e.command);
        ASSERT_EQ(Commands(), wanted);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(RectText(shell->hitRegions[i].rect), RectText(expected[i].rect)) << expected[i].command;
        }
    }

    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const auto& r : shell->hitRegions) commands.push_back(r.command);
        return commands;
    }

    // Reads the bitmap after a paint the test made itself (Paint and DrawAlone read it).
    void ReadPixels() {
        pixels.assign(1920u * 1080u * 4u, 0);
        const WICRect all{0, 0, 1920, 1080};
        ASSERT_HRESULT_SUCCEEDED(bitmap->CopyPixels(&all, 1920 * 4, static_cast<UINT>(pixels.size()), pixels.data()));
    }

    std::unique_ptr<NativeShell> shell;
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap;
    std::vector<BYTE> pixels;
    std::vector<DrawnText> drawn;  // the texts of the last paint

private:
    static constexpr const char* kFaceNames[] = {"Display", "Title", "Heading", "Body", "Caption", "Fit"};
    std::string FaceOf(const IDWriteTextFormat* f) const {
        const IDWriteTextFormat* faces[] = {shell->displayFormat.Get(), shell->titleFormat.Get(), shell->headingFormat.Get(),
                                            shell->bodyFormat.Get(), shell->captionFormat.Get()};
        for (int i = 0; i < 5; ++i) {
            if (f == faces[i]) return kFaceNames[i];
        }
        return "another face";
    }
    static std::string Describe(std::wstring_view text, const std::string& face, D2D_RECT_F r, D2D1_COLOR_F color,
                                DWRITE_TEXT_ALIGNMENT align) {
        const char* aligned = align == kLeading ? "leading" : align == kCentre ? "centred" : "trailing";
        return "\"" + distribution::WideToUtf8(text) + "\" " + face + " " + aligned + " " + RectText(r) + " " + ColorName(color);
    }
};

}  // namespace tarvo::ui::test
