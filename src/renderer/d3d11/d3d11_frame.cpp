// One Direct3D 11 frame: pending resize, scene upload, one indexed draw, the Direct2D
// HUD, the optional QA capture, present.
#include <algorithm>
#include <cstring>

#include "gameplay/training_simulation.h"
#include "renderer/d3d11/d3d11_impl.h"
#include "renderer/qa_capture.h"

namespace tarvo::renderer {

namespace {

// Ambient added after exposure (xyz) and the exposure factor (w).
constexpr float kAmbientAndExposure[4] = {0.055f, 0.065f, 0.07f, 1.4f};
constexpr float kSkydockClear[4] = {0.035f, 0.075f, 0.14f, 1.0f};
constexpr float kDefaultClear[4] = {0.008f, 0.018f, 0.022f, 1.0f};

}  // namespace

bool D3D11Renderer::Impl::FrameFailed(HRESULT hr, const wchar_t* text) {
    if (IsDeviceLost(hr)) {
        // Nothing made on a lost device can be used again; release it all now so no
        // later call can reach it, and let the shell fall back or start over.
        Shutdown();
        lastError = kDeviceLostText;
    } else {
        lastError = text;
    }
    return false;
}

bool D3D11Renderer::Impl::Resize() {
    resizePending = false;
    DestroyViews();
    context->OMSetRenderTargets(0, nullptr, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    const HRESULT hr = swapChain->ResizeBuffers(0, static_cast<UINT>(std::max<LONG>(client.right, 1)),
                                                static_cast<UINT>(std::max<LONG>(client.bottom, 1)),
                                                DXGI_FORMAT_UNKNOWN, 0);
    if (FAILED(hr)) {
        if (IsDeviceLost(hr)) return FrameFailed(hr, kDeviceLostText);
        // The views are gone with the old buffers: no later frame may draw through them.
        ready = false;
        return Fail(L"Direct3D 11 swap chain resize failed.");
    }
    if (!CreateViews()) {
        ready = false;
        return false;
    }
    return true;
}

void D3D11Renderer::Impl::BuildScene(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    const D3D11SceneAssets assets{character, weapon, characterTexture != nullptr};
    BuildD3D11Scene(scene, simulation, overlay, assets, static_cast<float>(width), static_cast<float>(height));
}

bool D3D11Renderer::Impl::Upload() {
    D3D11_MAPPED_SUBRESOURCE mapped{};
    HRESULT hr = context->Map(vertexBuffer.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped);
    if (FAILED(hr)) return FrameFailed(hr, L"D3D11 scene upload failed.");
    std::memcpy(mapped.pData, scene.vertices.data(), scene.vertices.size() * sizeof(Vertex));
    context->Unmap(vertexBuffer.Get(), 0);
    hr = context->Map(indexBuffer.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped);
    if (FAILED(hr)) return FrameFailed(hr, L"D3D11 scene upload failed.");
    std::memcpy(mapped.pData, scene.indices.data(), scene.indices.size() * sizeof(uint32_t));
    context->Unmap(indexBuffer.Get(), 0);
    // A failed constant upload keeps last frame's values, which never change.
    if (SUCCEEDED(context->Map(constantBuffer.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped))) {
        std::memcpy(mapped.pData, kAmbientAndExposure, sizeof(kAmbientAndExposure));
        context->Unmap(constantBuffer.Get(), 0);
    }
    return true;
}

bool D3D11Renderer::Impl::CaptureFrame(const std::string& utf8Path) {
    ComPtr<ID3D11Texture2D> backBuffer;
    HRESULT hr = swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(backBuffer.GetAddressOf()));
    if (FAILED(hr)) return FrameFailed(hr, L"QA readback frame unavailable");
    D3D11_TEXTURE2D_DESC desc{};
    backBuffer->GetDesc(&desc);
    const bool bgr = desc.Format == DXGI_FORMAT_B8G8R8A8_UNORM || desc.Format == DXGI_FORMAT_B8G8R8A8_UNORM_SRGB;
    D3D11_TEXTURE2D_DESC stagingDesc = desc;
    stagingDesc.Usage = D3D11_USAGE_STAGING;
    stagingDesc.BindFlags = 0;
    stagingDesc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    stagingDesc.MiscFlags = 0;
    ComPtr<ID3D11Texture2D> staging;
    hr = device->CreateTexture2D(&stagingDesc, nullptr, &staging);
    if (FAILED(hr)) return FrameFailed(hr, L"QA readback allocation failed");
    context->CopyResource(staging.Get(), backBuffer.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    hr = context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped);
    if (FAILED(hr)) return FrameFailed(hr, L"QA frame write failed");
    const bool written = WriteQaFrameUtf8(utf8Path, desc.Width, desc.Height, mapped.pData, mapped.RowPitch, bgr);
    context->Unmap(staging.Get(), 0);
    if (!written) return Fail(L"QA frame write failed");
    return true;
}

bool D3D11Renderer::Impl::Draw(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    if (!ready) {
        if (lastError.empty()) lastError = L"Direct3D 11 renderer is not ready.";
        return false;
    }
    if (resizePending && !Resize()) return false;

    BuildScene(simulation, overlay);
    const size_t count = scene.vertices.size();
    if (count == 0 || count > kD3D11VertexLimit) return Fail(L"D3D11 scene buffer limit exceeded.");
    if (!Upload()) return false;

    const float* clear = simulation.mapIndex == 2 ? kSkydockClear : kDefaultClear;
    context->ClearRenderTargetView(backBufferView.Get(), clear);
    context->ClearDepthStencilView(depthView.Get(), D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f, 0);
    ID3D11RenderTargetView* const targets[] = {backBufferView.Get()};
    context->OMSetRenderTargets(1, targets, depthView.Get());
    D3D11_VIEWPORT viewport{0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height), 0.0f, 1.0f};
    context->RSSetViewports(1, &viewport);
    context->RSSetState(rasterizer.Get());

    ID3D11Buffer* const vertexBuffers[] = {vertexBuffer.Get()};
    const UINT stride = sizeof(Vertex);
    const UINT offset = 0;
    context->IASetVertexBuffers(0, 1, vertexBuffers, &stride, &offset);
    context->IASetIndexBuffer(indexBuffer.Get(), DXGI_FORMAT_R32_UINT, 0);
    context->IASetInputLayout(inputLayout.Get());
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->VSSetShader(vertexShader.Get(), nullptr, 0);
    context->PSSetShader(pixelShader.Get(), nullptr, 0);
    ID3D11Buffer* const constants[] = {constantBuffer.Get()};
    context->PSSetConstantBuffers(0, 1, constants);
    ID3D11ShaderResourceView* const textures[] = {characterTexture.Get()};
    context->PSSetShaderResources(0, 1, textures);
    ID3D11SamplerState* const samplers[] = {sampler.Get()};
    context->PSSetSamplers(0, 1, samplers);
    context->DrawIndexed(static_cast<UINT>(count), 0, 0);
    ID3D11ShaderResourceView* const none[] = {nullptr};
    context->PSSetShaderResources(0, 1, none);

    const HRESULT hud = DrawHud(simulation, overlay);
    if (IsDeviceLost(hud)) return FrameFailed(hud, kDeviceLostText);
    if (hud == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) resizePending = true;

    if (!overlay.qaCapturePath.empty() && !CaptureFrame(overlay.qaCapturePath)) return false;

    const HRESULT presented = swapChain->Present(vsync ? 1 : 0, 0);
    if (FAILED(presented)) return FrameFailed(presented, L"D3D11 present failed.");
    return true;
}

}  // namespace tarvo::renderer
