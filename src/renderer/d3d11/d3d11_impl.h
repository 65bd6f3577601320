#pragma once
// Private state of the Direct3D 11 backend, shared by its source files.

#include <windows.h>
#include <d2d1.h>
#include <d3d11.h>
#include <dwrite.h>
#include <dxgi.h>
#include <wrl/client.h>

#include <array>
#include <string>
#include <vector>

#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/d3d11/d3d11_renderer.h"
#include "renderer/d3d11/d3d11_scene.h"
#include "renderer/d2d_text.h"

namespace tarvo::renderer {

using Microsoft::WRL::ComPtr;

// Results that end the device: everything made on it has to go.
bool IsDeviceLost(HRESULT hr);

inline constexpr wchar_t kDeviceLostText[] = L"Direct3D 11 device was removed or reset.";

struct D3D11Renderer::Impl {
    HWND window = nullptr;
    bool ready = false;
    bool resizePending = false;
    bool vsync = true;
    uint32_t width = 1;
    uint32_t height = 1;
    std::wstring deviceName;
    std::wstring lastError;
    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;

    ComPtr<IDXGIFactory1> factory;
    ComPtr<IDXGIAdapter1> adapter;
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ComPtr<IDXGISwapChain> swapChain;
    ComPtr<ID3D11RenderTargetView> backBufferView;
    ComPtr<ID3D11Texture2D> depthTexture;
    ComPtr<ID3D11DepthStencilView> depthView;
    ComPtr<ID3D11VertexShader> vertexShader;
    ComPtr<ID3D11PixelShader> pixelShader;
    ComPtr<ID3D11InputLayout> inputLayout;
    ComPtr<ID3D11Buffer> vertexBuffer;
    ComPtr<ID3D11Buffer> indexBuffer;
    ComPtr<ID3D11Buffer> constantBuffer;
    ComPtr<ID3D11ShaderResourceView> characterTexture;
    ComPtr<ID3D11SamplerState> sampler;
    ComPtr<ID3D11RasterizerState> rasterizer;
    ComPtr<ID2D1Factory> d2dFactory;
    ComPtr<ID2D1RenderTarget> hudTarget;
    ComPtr<IDWriteFactory> writeFactory;
    ComPtr<IDWriteTextFormat> titleFormat;
    ComPtr<IDWriteTextFormat> bodyFormat;
    // Match HUD formats by whole font size, made on first use and kept until shutdown.
    std::array<ComPtr<IDWriteTextFormat>, 64> sizedFormats;
    ComPtr<ID2D1SolidColorBrush> textBrush;
    ComPtr<ID2D1SolidColorBrush> limeBrush;
    ComPtr<ID2D1SolidColorBrush> cyanBrush;
    ComPtr<ID2D1SolidColorBrush> panelBrush;

    D3D11Scene scene;

    // The HUD's texts of each frame, recorded while a test holds a list here.
    using DrawnText = DrawnHudText;
    std::vector<DrawnText>* drawnTexts = nullptr;

    ~Impl();

    bool Initialize(HWND window);
    bool Fail(const wchar_t* text);
    bool CompileShaders();
    bool CreateBuffers();
    bool CreatePipelineState();
    bool CreateTexture();
    bool CreateViews();
    void DestroyViews();
    void Shutdown();

    bool Draw(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay);
    void BuildScene(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay);
    // Returns what EndDraw reported.
    HRESULT DrawHud(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay);
    bool Resize();
    bool Upload();
    bool CaptureFrame(const std::string& utf8Path);
    // A failed frame step: a lost device releases everything and clears Ready();
    // any other failure keeps the backend for the next frame. Always false.
    bool FrameFailed(HRESULT hr, const wchar_t* text);
    IDWriteTextFormat* SizedFormat(float size);
};

// Reaches into a backend for tests that must act out what the platform will not do
// on request (a lost device, a failing swap chain). Defined by those tests only.
struct D3D11RendererTestAccess;

}  // namespace tarvo::renderer
