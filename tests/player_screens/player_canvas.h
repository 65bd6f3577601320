#pragma once
// The off-screen canvas of the screens tests, plus a way to check that a text was
// drawn: the text is drawn again alone, in the same format, rectangle, colour and
// alignment, and the lit pixels of both drawings are compared.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/text_utils.h"
#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {

class PlayerCanvas : public CanvasFixture {
protected:
    // One whole shell paint; its pixels are kept for the text checks.
    void PaintScreen() {
        Paint();
        screen = pixels;
    }

    struct TextCompare {
        int reference = 0;  // pixels the text covers at least half when drawn alone
        int differing = 0;  // pixels covered in one drawing and not in the other
    };

    // Draws the text alone, in the same format, rectangle, colour and alignment, and
    // compares which pixels it covers with the screen inside the rectangle less an
    // inset (chips keep their outline there). Coverage is read against each image's
    // own background (the most common colour there), so a chip's tint or a card's
    // fill under the text does not change the outcome.
    TextCompare CompareText(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                            DWRITE_TEXT_ALIGNMENT align, float inset = 2.0f) {
        Window w;
        w.left = std::max(static_cast<int>(rect.left + inset), 0);
        w.right = std::min(static_cast<int>(rect.right - inset), 1920);
        w.top = std::max(static_cast<int>(rect.top + inset), 0);
        w.bottom = std::min(static_cast<int>(rect.bottom - inset), 1080);
        DrawTextAlone(text, format, rect, color, align, w);
        const Rgb ink{static_cast<int>(color.r * 255 + 0.5f), static_cast<int>(color.g * 255 + 0.5f),
                      static_cast<int>(color.b * 255 + 0.5f)};
        const Rgb referenceGround = Ground(pixels, w), screenGround = Ground(screen, w);
        TextCompare result;
        for (int y = w.top; y < w.bottom; ++y) {
            for (int x = w.left; x < w.right; ++x) {
                const bool drawn = Covered(pixels, x, y, referenceGround, ink);
                result.reference += drawn;
                result.differing += drawn != Covered(screen, x, y, screenGround, ink);
            }
        }
        return result;
    }

    // The screen shows `text` there, and not `other` (the same place in the other
    // language, or a wrong value), which shows that the check tells them apart.
    void ExpectText(std::wstring_view text, std::wstring_view other, IDWriteTextFormat* format, D2D_RECT_F rect,
                    D2D1_COLOR_F color, DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING,
                    float inset = 2.0f) {
        const TextCompare shown = CompareText(text, format, rect, color, align, inset);
        ASSERT_GT(shown.reference, 0);
        const std::string name = distribution::WideToUtf8(text);
        EXPECT_LE(shown.differing, shown.reference / 8) << name << ": text not found at its place (" << shown.differing << " of "
                                                         << shown.reference << " pixels differ)";
        if (!other.empty()) {
            const TextCompare wrong = CompareText(other, format, rect, color, align, inset);
            EXPECT_GE(wrong.differing, std::max(12, 3 * shown.differing))
                << name << ": another text matches as well (" << wrong.differing << " against " << shown.differing << ")";
        }
    }

    // The screen does not show `text` there.
    void ExpectNoText(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                      DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING, float inset = 2.0f) {
        const TextCompare drawn = CompareText(text, format, rect, color, align, inset);
        EXPECT_GT(drawn.differing, drawn.reference / 3);
    }

    // Lit pixels of the kept screen (any channel above 90), as LitPixels counts them.
    int ScreenLit(int left, int top, int right, int bottom) const {
        int lit = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const BYTE* p = &screen[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4];
                lit += (p[0] > 90 || p[1] > 90 || p[2] > 90);
            }
        }
        return lit;
    }

    struct Window {
        int left = 0, top = 0, right = 0, bottom = 0;
    };

    // The text alone on a cleared canvas; only the window's pixels are read back
    // (into `pixels`, at their places), which keeps the many text checks quick.
    void DrawTextAlone(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                       DWRITE_TEXT_ALIGNMENT align, const Window& w) {
        ID2D1RenderTarget* target = shell->renderTarget.Get();
        target->BeginDraw();
        target->SetTransform(D2D1::Matrix3x2F::Identity());
        target->Clear(Colors::Background);
        shell->DrawTextIn(text, format, rect, color, align);
        ASSERT_HRESULT_SUCCEEDED(target->EndDraw());
        if (w.right <= w.left || w.bottom <= w.top) return;
        pixels.resize(1920u * 1080u * 4u);
        const WICRect area{w.left, w.top, w.right - w.left, w.bottom - w.top};
        const UINT stride = 1920 * 4;
        const UINT offset = (static_cast<UINT>(w.top) * 1920 + static_cast<UINT>(w.left)) * 4;
        ASSERT_HRESULT_SUCCEEDED(bitmap->CopyPixels(&area, stride, static_cast<UINT>(pixels.size()) - offset,
                                                    pixels.data() + offset));
    }

    static Rgb At(const std::vector<BYTE>& image, int x, int y) {
        const BYTE* p = &image[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4];
        return Rgb{p[2], p[1], p[0]};
    }

    // The most common colour of the window.
    static Rgb Ground(const std::vector<BYTE>& image, const Window& w) {
        std::map<int, int> counts;
        int best = 0, bestCount = -1;
        for (int y = w.top; y < w.bottom; ++y) {
            for (int x = w.left; x < w.right; ++x) {
                const Rgb c = At(image, x, y);
                const int key = (c.r << 16) | (c.g << 8) | c.b;
                const int n = ++counts[key];
                if (n > bestCount) {
                    bestCount = n;
                    best = key;
                }
            }
        }
        return Rgb{(best >> 16) & 0xFF, (best >> 8) & 0xFF, best & 0xFF};
    }

    // At least half covered by the ink: the pixel lies past the midpoint from the
    // ground colour to the ink colour.
    static bool Covered(const std::vector<BYTE>& image, int x, int y, Rgb ground, Rgb ink) {
        const Rgb c = At(image, x, y);
        const double dr = ink.r - ground.r, dg = ink.g - ground.g, db = ink.b - ground.b;
        const double span = dr * dr + dg * dg + db * db;
        if (span < 1.0) return false;
        const double along = ((c.r - ground.r) * dr + (c.g - ground.g) * dg + (c.b - ground.b) * db) / span;
        return along > 0.5;
    }

    Rgb ScreenPixel(int x, int y) const {
        const BYTE* p = &screen[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4];
        return Rgb{p[2], p[1], p[0]};
    }

    void English() { shell->localization.SetLocale(localization::Locale::English); }

    IDWriteTextFormat* Caption() const { return shell->captionFormat.Get(); }
    IDWriteTextFormat* Body() const { return shell->bodyFormat.Get(); }
    IDWriteTextFormat* Heading() const { return shell->headingFormat.Get(); }
    IDWriteTextFormat* Title() const { return shell->titleFormat.Get(); }
    IDWriteTextFormat* Display() const { return shell->displayFormat.Get(); }

    const HitRegion* Region(const std::string& command) const {
        for (const auto& r : shell->hitRegions) {
            if (r.command == command) return &r;
        }
        return nullptr;
    }

    static void ExpectRect(const D2D_RECT_F& r, float left, float top, float right, float bottom) {
        EXPECT_FLOAT_EQ(r.left, left);
        EXPECT_FLOAT_EQ(r.top, top);
        EXPECT_FLOAT_EQ(r.right, right);
        EXPECT_FLOAT_EQ(r.bottom, bottom);
    }

    // A PNG file of one colour, written through WIC.
    void WriteSolidPng(const std::filesystem::path& file, UINT width, UINT height, Rgb color) {
        std::vector<BYTE> data(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < data.size(); i += 4) {
            data[i] = static_cast<BYTE>(color.b);
            data[i + 1] = static_cast<BYTE>(color.g);
            data[i + 2] = static_cast<BYTE>(color.r);
            data[i + 3] = 255;
        }
        Microsoft::WRL::ComPtr<IWICBitmap> image;
        ASSERT_HRESULT_SUCCEEDED(shell->wicFactory->CreateBitmapFromMemory(
            width, height, GUID_WICPixelFormat32bppBGRA, width * 4, static_cast<UINT>(data.size()), data.data(), &image));
        SavePng(image.Get(), file);
    }

    // Encodes a WIC bitmap (for example the canvas) as a PNG file.
    void SavePng(IWICBitmapSource* image, const std::filesystem::path& file) {
        std::filesystem::create_directories(file.parent_path());
        auto* wic = shell->wicFactory.Get();
        Microsoft::WRL::ComPtr<IWICStream> stream;
        Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
        Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
        ASSERT_HRESULT_SUCCEEDED(wic->CreateStream(&stream));
        ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE));
        ASSERT_HRESULT_SUCCEEDED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder));
        ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
        ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->Initialize(nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->WriteSource(image, nullptr));
        ASSERT_HRESULT_SUCCEEDED(frame->Commit());
        ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
    }

    std::vector<BYTE> screen;
};

}  // namespace tarvo::ui::test
