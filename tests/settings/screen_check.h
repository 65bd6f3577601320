#pragma once
// Whole paints of one screen into the off-screen canvas, with two checks on top of
// the canvas fixture: which commands the paint left, and which text the paint drew in
// a rectangle.
// Set TARVO_SCREENSHOT_DIR to keep every paint as a PNG for looking at.
#include <wincodec.h>

#include <cstdlib>
#include <string>

#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {

class ScreenCheck : public CanvasFixture {
protected:
    void Show(navigation::ScreenId id) {
        shell->router.Navigate(id);
        shell->hoverCommand.clear();
    }

    // Paints the current screen and keeps its pixels and regions for the checks.
    void PaintScreen(const std::string& shotName) {
        Paint();
        painted = pixels;
        regions = shell->hitRegions;
        SaveShot(shotName);
    }

    std::vector<std::string> PaintedCommands() const {
        std::vector<std::string> commands;
        for (const auto& r : regions) commands.push_back(r.command);
        return commands;
    }

    const HitRegion* RegionOf(const std::string& command) const {
        for (const auto& r : regions) {
            if (r.command == command) return &r;
        }
        return nullptr;
    }

    // The text the paint drew in exactly this rectangle, in this face, colour and
    // horizontal alignment.
    void ExpectText(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                    DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) const {
        for (const DrawnText& d : drawn) {
            if (RectText(d.rect) != RectText(rect)) continue;
            EXPECT_EQ(distribution::WideToUtf8(d.text), distribution::WideToUtf8(text)) << RectText(rect);
            EXPECT_TRUE(d.format == format && d.align == align) << distribution::WideToUtf8(text);
            EXPECT_EQ(ColorName(d.color), ColorName(color)) << distribution::WideToUtf8(text);
            return;
        }
        ADD_FAILURE() << "no text in " << RectText(rect) << ", expected " << distribution::WideToUtf8(text);
    }

    // A button drawn primary has its Accent fill just inside its top left corner.
    bool PrimaryAt(const D2D_RECT_F& rect) const {
        const BYTE* p = &painted[(static_cast<size_t>(rect.top + 5) * 1920 + static_cast<size_t>(rect.left + 10)) * 4];
        return p[1] > 180 && p[2] > 130 && p[0] < 80;
    }
    bool PrimaryButton(const std::string& command) const {
        const HitRegion* region = RegionOf(command);
        return region && PrimaryAt(region->rect);
    }

    std::vector<BYTE> painted;
    std::vector<HitRegion> regions;

private:
    void SaveShot(const std::string& name) {
        const char* dir = std::getenv("TARVO_SCREENSHOT_DIR");
        if (!dir || !*dir) return;
        const std::wstring file = std::filesystem::path(dir) / (name + ".png");
        Microsoft::WRL::ComPtr<IWICStream> stream;
        Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
        Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
        auto& wic = shell->wicFactory;
        if (FAILED(wic->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
            FAILED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
            FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
            FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr))) {
            ADD_FAILURE() << "screenshot not written: " << name;
            return;
        }
        frame->SetSize(1920, 1080);
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        frame->SetPixelFormat(&format);
        frame->WritePixels(1080, 1920 * 4, static_cast<UINT>(painted.size()), painted.data());
        frame->Commit();
        encoder->Commit();
    }
};

}  // namespace tarvo::ui::test
