#pragma once
// A shell whose screens draw into a 1920 x 1080 WIC bitmap (scale 1, no offset),
// so the hit regions and pixels of a paint can be checked without a window.
#include <wincodec.h>

#include "shell/shell_fixture.h"

namespace tarvo::ui::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

class CanvasFixture : public ShellFixture {
protected:
    void SetUp() override { Build(ProductKind::Game); }

    void Build(ProductKind kind) {
        shell = MakeShell(kind);
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
        ASSERT_HRESULT_SUCCEEDED(shell->PaintCanvas(1920.0f, 1080.0f));
        ReadPixels();
    }

    // Draws with `draw` on a cleared canvas, outside the shell's paint sequence.
    template <typename Draw>
    void DrawAlone(Draw draw) {
        if (!shell->brush) ASSERT_HRESULT_SUCCEEDED(shell->renderTarget->CreateSolidColorBrush(Colors::Text, &shell->brush));
        shell->hitRegions.clear();
        shell->renderTarget->BeginDraw();
        shell->renderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
        shell->renderTarget->Clear(Colors::Background);
        draw();
        ASSERT_HRESULT_SUCCEEDED(shell->renderTarget->EndDraw());
        ReadPixels();
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

    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const auto& r : shell->hitRegions) commands.push_back(r.command);
        return commands;
    }

    std::unique_ptr<NativeShell> shell;
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap;
    std::vector<BYTE> pixels;

private:
    void ReadPixels() {
        pixels.assign(1920u * 1080u * 4u, 0);
        const WICRect all{0, 0, 1920, 1080};
        ASSERT_HRESULT_SUCCEEDED(bitmap->CopyPixels(&all, 1920 * 4, static_cast<UINT>(pixels.size()), pixels.data()));
    }
};

}  // namespace tarvo::ui::test
