// Runs once before the test suite. The first processes of a fresh Wine session fill
// in its audio device and font registries; many test processes doing that at the
// same moment can crash inside Wine's audio stack, so one process does it first.
#include <windows.h>

#include <d2d1.h>
#include <d3d11.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <cstdio>

#include "audio/native_weapon_audio.h"

using Microsoft::WRL::ComPtr;

int wmain(int, wchar_t**) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool audioReady = false;
    {
        tarvo::audio::NativeWeaponAudio audio;
        audioReady = audio.Ready();
    }
    ComPtr<ID3D11Device> device;
    const HRESULT d3d = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                          D3D11_SDK_VERSION, &device, nullptr, nullptr);
    ComPtr<IDWriteFactory> write;
    ComPtr<IDWriteFontCollection> fonts;
    if (SUCCEEDED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                      reinterpret_cast<IUnknown**>(write.GetAddressOf())))) {
        write->GetSystemFontCollection(&fonts, FALSE);
    }
    std::printf("warm-up: audio %s, Direct3D 11 %s, fonts %u\n", audioReady ? "ready" : "not ready",
                SUCCEEDED(d3d) ? "ready" : "not ready", fonts ? fonts->GetFontFamilyCount() : 0u);
    device.Reset();
    fonts.Reset();
    write.Reset();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
