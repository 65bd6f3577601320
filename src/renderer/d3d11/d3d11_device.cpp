// Direct3D 11 device, swap chain, pipeline and HUD resources: created in a fixed
// order, released in reverse by one routine.
#include <d3dcompiler.h>

#include <algorithm>

#include "renderer/d3d11/d3d11_impl.h"

namespace tarvo::renderer {

namespace {

// Written in the plain HLSL subset every run-time compiler we meet accepts: no user
// functions, no frac, smoothstep or sin. The tile pattern spells them out: a fraction
// through floor, the smooth step as its cubic, and sine as a wrapped parabola with
// one correction term (error about 0.001, far below the grain's 0.025).
constexpr char kShaderSource[] = R"(Texture2D baseColor : register(t0);
SamplerState textureSampler : register(s0);
cbuffer FrameData : register(b0) { float4 ambientAndExposure; };
struct VSIn { float4 position : POSITION; float3 color : COLOR; float2 uv : TEXCOORD0; float mode : TEXCOORD1; };
struct PSIn { float4 position : SV_POSITION; float3 color : COLOR; float2 uv : TEXCOORD0; float mode : TEXCOORD1; };
PSIn VSMain(VSIn input) {
    PSIn output;
    output.position = input.position;
    output.color = input.color;
    output.uv = input.uv;
    output.mode = input.mode;
    return output;
}
float4 PSMain(PSIn input) : SV_TARGET {
    float3 c = input.color;
    float2 cell = input.uv * 0.5 - floor(input.uv * 0.5);
    float2 edge = min(cell, 1.0 - cell);
    float t = saturate((min(edge.x, edge.y) - 0.004) / 0.01);
    float seam = 1.0 - t * t * (3.0 - 2.0 * t);
    float a = input.uv.y * 7.1;
    a = a - 6.2831853 * floor(a * 0.15915494 + 0.5);
    float inner = a * (1.2732395 - 0.40528473 * abs(a));
    inner = inner + 0.225 * (inner * abs(inner) - inner);
    a = input.uv.x * 23.7 + inner;
    a = a - 6.2831853 * floor(a * 0.15915494 + 0.5);
    float waveU = a * (1.2732395 - 0.40528473 * abs(a));
    waveU = waveU + 0.225 * (waveU * abs(waveU) - waveU);
    a = input.uv.y * 31.3;
    a = a - 6.2831853 * floor(a * 0.15915494 + 0.5);
    float waveV = a * (1.2732395 - 0.40528473 * abs(a));
    waveV = waveV + 0.225 * (waveV * abs(waveV) - waveV);
    float3 tiled = c * (0.98 + waveU * waveV * 0.025) * (1.0 - seam * 0.16);
    float3 sampled = c * baseColor.Sample(textureSampler, input.uv).rgb;
    if (input.mode < -0.5) c = tiled;
    if (input.mode > 0.5) c = sampled;
    return float4(saturate(c * ambientAndExposure.w + ambientAndExposure.xyz), 1.0);
}
)";

constexpr D3D_FEATURE_LEVEL kFeatureLevels[] = {D3D_FEATURE_LEVEL_11_1, D3D_FEATURE_LEVEL_11_0,
                                                D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};

D2D1_COLOR_F Rgba(float r, float g, float b, float a) { return D2D1::ColorF(r, g, b, a); }

}  // namespace

bool IsDeviceLost(HRESULT hr) {
    return hr == DXGI_ERROR_DEVICE_REMOVED || hr == DXGI_ERROR_DEVICE_RESET || hr == DXGI_ERROR_DEVICE_HUNG ||
           hr == DXGI_ERROR_DRIVER_INTERNAL_ERROR;
}

D3D11Renderer::Impl::~Impl() { Shutdown(); }

bool D3D11Renderer::Impl::Fail(const wchar_t* text) {
    lastError = text;
    return false;
}

bool D3D11Renderer::Impl::Initialize(HWND target) {
    // A repeated Initialize starts from nothing, whatever an earlier one left.
    Shutdown();
    window = target;
    lastError.clear();
    resizePending = false;

    // Missing assets are not fatal: the scene draws its fallback shapes.
    character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                               presentation::DiscoverRozizodivoRollbackAsset());
    weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset());

    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(factory.GetAddressOf())))) {
        return Fail(L"DXGI factory creation failed.");
    }
    for (UINT index = 0;; ++index) {
        ComPtr<IDXGIAdapter1> candidate;
        if (factory->EnumAdapters1(index, &candidate) == DXGI_ERROR_NOT_FOUND) break;
        if (!candidate) continue;
        DXGI_ADAPTER_DESC1 description{};
        if (FAILED(candidate->GetDesc1(&description))) continue;
        if (description.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) continue;
        adapter = candidate;
        deviceName = description.Description;
        break;
    }
    if (!adapter) return Fail(L"No Direct3D 11 hardware adapter.");

    D3D_FEATURE_LEVEL reached{};
    HRESULT hr = D3D11CreateDevice(adapter.Get(), D3D_DRIVER_TYPE_UNKNOWN, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                                   kFeatureLevels, 4, D3D11_SDK_VERSION, &device, &reached, &context);
    // Runtimes that do not know 11.1 reject any list naming it.
    if (hr == E_INVALIDARG) {
        hr = D3D11CreateDevice(adapter.Get(), D3D_DRIVER_TYPE_UNKNOWN, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                               kFeatureLevels + 1, 3, D3D11_SDK_VERSION, &device, &reached, &context);
    }
    if (FAILED(hr) || !device || !context || reached < D3D_FEATURE_LEVEL_10_0) {
        return Fail(L"Direct3D 11 device creation failed.");
    }

    RECT client{};
    GetClientRect(window, &client);
    DXGI_SWAP_CHAIN_DESC chain{};
    chain.BufferDesc.Width = static_cast<UINT>(std::max<LONG>(client.right, 1));
    chain.BufferDesc.Height = static_cast<UINT>(std::max<LONG>(client.bottom, 1));
    chain.BufferDesc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    chain.SampleDesc.Count = 1;
    chain.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    chain.BufferCount = 2;
    chain.OutputWindow = window;
    chain.Windowed = TRUE;
    chain.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    if (FAILED(factory->CreateSwapChain(device.Get(), &chain, &swapChain))) {
        return Fail(L"Direct3D 11 swap chain creation failed.");
    }

    if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, d2dFactory.GetAddressOf())) ||
        FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(writeFactory.GetAddressOf())))) {
        return Fail(L"DirectWrite HUD initialization failed.");
    }
    if (FAILED(writeFactory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_SEMI_BOLD,
                                              DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, 28.0f, L"uk-UA",
                                              &titleFormat)) ||
        FAILED(writeFactory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                                              DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, 19.0f, L"uk-UA",
                                              &bodyFormat))) {
        return Fail(L"DirectWrite scalable font creation failed.");
    }

    if (!CompileShaders() || !CreateBuffers() || !CreatePipelineState() || !CreateTexture() || !CreateViews()) {
        return false;
    }
    ready = true;
    return true;
}

bool D3D11Renderer::Impl::CompileShaders() {
    ComPtr<ID3DBlob> vertexCode, pixelCode, message;
    HRESULT hr = D3DCompile(kShaderSource, sizeof(kShaderSource) - 1, "TARVONIX_D3D11", nullptr, nullptr, "VSMain",
                            "vs_4_0", D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &vertexCode, &message);
    if (FAILED(hr) || !vertexCode) {
        std::wstring text = L"D3D11 vertex shader compilation failed: ";
        if (message && message->GetBufferSize() > 0) {
            const auto* bytes = static_cast<const unsigned char*>(message->GetBufferPointer());
            std::wstring widened(bytes, bytes + message->GetBufferSize());
            while (!widened.empty() && (widened.back() == L'\0' || widened.back() == L'\n' || widened.back() == L'\r')) {
                widened.pop_back();
            }
            text += widened.empty() ? L"unknown" : widened;
        } else {
            text += L"unknown";
        }
        lastError = text;
        return false;
    }
    message.Reset();
    hr = D3DCompile(kShaderSource, sizeof(kShaderSource) - 1, "TARVONIX_D3D11", nullptr, nullptr, "PSMain", "ps_4_0",
                    D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &pixelCode, &message);
    if (FAILED(hr) || !pixelCode) return Fail(L"D3D11 pixel shader compilation failed.");

    static const D3D11_INPUT_ELEMENT_DESC kLayout[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 16, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 28, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 1, DXGI_FORMAT_R32_FLOAT, 0, 36, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    if (FAILED(device->CreateVertexShader(vertexCode->GetBufferPointer(), vertexCode->GetBufferSize(), nullptr,
                                          &vertexShader)) ||
        FAILED(device->CreatePixelShader(pixelCode->GetBufferPointer(), pixelCode->GetBufferSize(), nullptr,
                                         &pixelShader)) ||
        FAILED(device->CreateInputLayout(kLayout, 4, vertexCode->GetBufferPointer(), vertexCode->GetBufferSize(),
                                         &inputLayout))) {
        return Fail(L"D3D11 shader/input-layout creation failed.");
    }
    return true;
}

bool D3D11Renderer::Impl::CreateBuffers() {
    D3D11_BUFFER_DESC desc{};
    desc.Usage = D3D11_USAGE_DYNAMIC;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_WRITE;
    desc.ByteWidth = static_cast<UINT>(kD3D11VertexLimit * sizeof(Vertex));
    desc.BindFlags = D3D11_BIND_VERTEX_BUFFER;
    if (FAILED(device->CreateBuffer(&desc, nullptr, &vertexBuffer))) return Fail(L"D3D11 vertex buffer failed.");
    desc.ByteWidth = static_cast<UINT>(kD3D11VertexLimit * sizeof(uint32_t));
    desc.BindFlags = D3D11_BIND_INDEX_BUFFER;
    if (FAILED(device->CreateBuffer(&desc, nullptr, &indexBuffer))) return Fail(L"D3D11 index buffer failed.");
    desc.ByteWidth = 16;
    desc.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    if (FAILED(device->CreateBuffer(&desc, nullptr, &constantBuffer))) return Fail(L"D3D11 constant buffer failed.");
    return true;
}

bool D3D11Renderer::Impl::CreatePipelineState() {
    D3D11_RASTERIZER_DESC desc{};
    desc.FillMode = D3D11_FILL_SOLID;
    desc.CullMode = D3D11_CULL_NONE;
    desc.FrontCounterClockwise = FALSE;
    desc.DepthClipEnable = TRUE;
    if (FAILED(device->CreateRasterizerState(&desc, &rasterizer))) return Fail(L"D3D11 rasterizer state failed.");
    return true;
}

bool D3D11Renderer::Impl::CreateTexture() {
    if (!character.Ready() || character.TextureMips().empty()) return true;
    const presentation::ImportedTextureMip& level = character.TextureMips().front();
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = level.width;
    desc.Height = level.height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_IMMUTABLE;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    D3D11_SUBRESOURCE_DATA data{};
    data.pSysMem = level.pixels.data();
    data.SysMemPitch = level.width * 4;
    ComPtr<ID3D11Texture2D> texture;
    if (level.pixels.size() != size_t(level.width) * level.height * 4 ||
        FAILED(device->CreateTexture2D(&desc, &data, &texture)) ||
        FAILED(device->CreateShaderResourceView(texture.Get(), nullptr, &characterTexture))) {
        return Fail(L"D3D11 Rozizodivo BaseColor texture creation failed.");
    }
    D3D11_SAMPLER_DESC samplerDesc{};
    samplerDesc.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    samplerDesc.AddressU = D3D11_TEXTURE_ADDRESS_WRAP;
    samplerDesc.AddressV = D3D11_TEXTURE_ADDRESS_WRAP;
    samplerDesc.AddressW = D3D11_TEXTURE_ADDRESS_WRAP;
    if (FAILED(device->CreateSamplerState(&samplerDesc, &sampler))) {
        return Fail(L"D3D11 Rozizodivo BaseColor texture creation failed.");
    }
    return true;
}

bool D3D11Renderer::Impl::CreateViews() {
    ComPtr<ID3D11Texture2D> backBuffer;
    if (FAILED(swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(backBuffer.GetAddressOf()))) ||
        FAILED(device->CreateRenderTargetView(backBuffer.Get(), nullptr, &backBufferView))) {
        return Fail(L"D3D11 backbuffer view failed.");
    }
    // The buffer's own size: depth, HUD and projection must all match what is presented.
    D3D11_TEXTURE2D_DESC bufferDesc{};
    backBuffer->GetDesc(&bufferDesc);
    width = std::max<UINT>(bufferDesc.Width, 1);
    height = std::max<UINT>(bufferDesc.Height, 1);

    D3D11_TEXTURE2D_DESC depthDesc{};
    depthDesc.Width = width;
    depthDesc.Height = height;
    depthDesc.MipLevels = 1;
    depthDesc.ArraySize = 1;
    depthDesc.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    depthDesc.SampleDesc.Count = 1;
    depthDesc.Usage = D3D11_USAGE_DEFAULT;
    depthDesc.BindFlags = D3D11_BIND_DEPTH_STENCIL;
    ComPtr<IDXGISurface> surface;
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE), 96.0f,
        96.0f);
    if (FAILED(device->CreateTexture2D(&depthDesc, nullptr, &depthTexture)) ||
        FAILED(device->CreateDepthStencilView(depthTexture.Get(), nullptr, &depthView)) ||
        FAILED(backBuffer.As(&surface)) ||
        FAILED(d2dFactory->CreateDxgiSurfaceRenderTarget(surface.Get(), &properties, &hudTarget)) ||
        FAILED(hudTarget->CreateSolidColorBrush(Rgba(0.93f, 0.96f, 0.97f, 1.0f), &textBrush)) ||
        FAILED(hudTarget->CreateSolidColorBrush(Rgba(0.66f, 1.0f, 0.02f, 1.0f), &limeBrush)) ||
        FAILED(hudTarget->CreateSolidColorBrush(Rgba(0.0f, 0.8f, 1.0f, 1.0f), &cyanBrush)) ||
        FAILED(hudTarget->CreateSolidColorBrush(Rgba(0.015f, 0.035f, 0.043f, 0.92f), &panelBrush))) {
        return Fail(L"D3D11 depth/DirectWrite HUD target failed.");
    }
    return true;
}

void D3D11Renderer::Impl::DestroyViews() {
    panelBrush.Reset();
    cyanBrush.Reset();
    limeBrush.Reset();
    textBrush.Reset();
    hudTarget.Reset();
    depthView.Reset();
    depthTexture.Reset();
    backBufferView.Reset();
}

void D3D11Renderer::Impl::Shutdown() {
    ready = false;
    if (context) context->ClearState();
    DestroyViews();
    for (auto& format : sizedFormats) format.Reset();
    bodyFormat.Reset();
    titleFormat.Reset();
    writeFactory.Reset();
    d2dFactory.Reset();
    rasterizer.Reset();
    sampler.Reset();
    characterTexture.Reset();
    constantBuffer.Reset();
    indexBuffer.Reset();
    vertexBuffer.Reset();
    inputLayout.Reset();
    pixelShader.Reset();
    vertexShader.Reset();
    swapChain.Reset();
    // Destruction is deferred until the context flushes; without this a swap chain
    // made again for the same window could still find the old one attached.
    if (context) context->Flush();
    context.Reset();
    device.Reset();
    adapter.Reset();
    factory.Reset();
    character.Reset();
    weapon.Reset();
}

}  // namespace tarvo::renderer
