#pragma once
// Whole paints of one screen into the off-screen canvas, with two checks on top of
// the canvas fixture: which commands the paint left, and whether a given text is
// what was drawn in a rectangle (its lit pixels against the same text drawn alone).
// Set TARVO_SCREENSHOT_DIR to keep every paint as a PNG for looking at.
#include <wincodec.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
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

    // Share of disagreeing text pixels between the paint and `text` drawn alone in
    // rect (inset by 3 so outlines and markers around the text stay out). A text
    // pixel is one at least half covered by the text colour over the rectangle's own
    // background, so cards, chips and buttons under the text do not matter. -1 when the text alone draws
    // nothing.
    double TextMismatch(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                        DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) {
        DrawAlone([&] { shell->DrawTextIn(text, format, rect, color, align); });
        const RECT area{static_cast<LONG>(rect.left) + 3, static_cast<LONG>(rect.top) + 3,
                        static_cast<LONG>(rect.right) - 3, static_cast<LONG>(rect.bottom) - 3};
        const std::vector<bool> alone = TextMask(pixels, area, color);
        const std::vector<bool> drawn = TextMask(painted, area, color);
        size_t lit = 0, differing = 0;
        for (size_t i = 0; i < alone.size(); ++i) {
            lit += alone[i];
            differing += alone[i] != drawn[i];
        }
        return lit == 0 ? -1.0 : static_cast<double>(differing) / static_cast<double>(lit);
    }

    void ExpectText(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                    DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) {
        const double mismatch = TextMismatch(text, format, rect, color, align);
        EXPECT_GE(mismatch, 0.0) << "nothing drawn for this text";
        EXPECT_LT(mismatch, 0.03) << "another text stands in {" << rect.left << ", " << rect.top << "}";
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
    // Pixels at least half way from the area's most common colour to the text colour,
    // measured on the channel where the two differ most.
    static std::vector<bool> TextMask(const std::vector<BYTE>& image, const RECT& area, D2D1_COLOR_F color) {
        auto at = [&](LONG x, LONG y) { return &image[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4]; };
        std::map<std::uint32_t, int> counts;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                const BYTE* p = at(x, y);
                ++counts[(std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0]];
            }
        }
        std::uint32_t background = 0;
        int most = -1;
        for (const auto& [colour, count] : counts) {
            if (count > most) {
                most = count;
                background = colour;
            }
        }
        // Channels in the image's byte order: blue, green, red.
        const double bg[3] = {static_cast<double>(background & 0xFF), static_cast<double>((background >> 8) & 0xFF),
                              static_cast<double>(background >> 16)};
        const double fg[3] = {color.b * 255.0, color.g * 255.0, color.r * 255.0};
        int channel = 0;
        for (int c = 1; c < 3; ++c) {
            if (std::abs(fg[c] - bg[c]) > std::abs(fg[channel] - bg[channel])) channel = c;
        }
        const double span = fg[channel] - bg[channel];
        std::vector<bool> mask;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                const double coverage = std::abs(span) < 1.0 ? 0.0 : (at(x, y)[channel] - bg[channel]) / span;
                mask.push_back(coverage >= 0.5);
            }
        }
        return mask;
    }

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
