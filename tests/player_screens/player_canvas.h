#pragma once
// The off-screen canvas of the screens tests, plus a way to check which text a paint
// drew in a rectangle, and in which face, colour and alignment.
#include <filesystem>
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

    // The text the paint drew in exactly this rectangle, or null.
    const DrawnText* DrawnIn(const D2D_RECT_F& rect) const {
        for (const DrawnText& d : drawn) {
            if (RectText(d.rect) == RectText(rect)) return &d;
        }
        return nullptr;
    }

    // The paint drew `text` there, in this face, colour and alignment, and not `other`
    // (the same place in the other language, or a wrong value).
    void ExpectText(std::wstring_view text, std::wstring_view other, IDWriteTextFormat* format, D2D_RECT_F rect,
                    D2D1_COLOR_F color, DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) const {
        const DrawnText* d = DrawnIn(rect);
        ASSERT_NE(d, nullptr) << "nothing in " << RectText(rect) << ", expected " << distribution::WideToUtf8(text);
        EXPECT_EQ(distribution::WideToUtf8(d->text), distribution::WideToUtf8(text));
        EXPECT_NE(d->text, other);
        EXPECT_TRUE(d->format == format && d->align == align) << distribution::WideToUtf8(text);
        EXPECT_EQ(ColorName(d->color), ColorName(color)) << distribution::WideToUtf8(text);
    }

    // The paint drew no `text` there.
    void ExpectNoText(std::wstring_view text, const D2D_RECT_F& rect) const {
        const DrawnText* d = DrawnIn(rect);
        EXPECT_TRUE(!d || d->text != text) << distribution::WideToUtf8(text);
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
