// Failures the platform will not produce on request, acted out through a swap chain
// that forwards to the real one until told to fail.
#include <gtest/gtest.h>

#include <atomic>

#include "d3d11/d3d11_test_support.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;

class FaultySwapChain final : public IDXGISwapChain {
public:
    FaultySwapChain(ComPtr<IDXGISwapChain> inner, bool* released) : inner_(std::move(inner)), released_(released) {}

    HRESULT presentResult = S_OK;  // a failure code replaces the real call
    HRESULT resizeResult = S_OK;
    int presents = 0;
    UINT lastInterval = 99;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDXGIObject) || riid == __uuidof(IDXGIDeviceSubObject) ||
            riid == __uuidof(IDXGISwapChain)) {
            *out = static_cast<IDXGISwapChain*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (released_) *released_ = true;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT size, const void* data) override {
        return inner_->SetPrivateData(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown* object) override {
        return inner_->SetPrivateDataInterface(guid, object);
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT* size, void* data) override {
        return inner_->GetPrivateData(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void** parent) override { return inner_->GetParent(riid, parent); }
    HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void** device) override { return inner_->GetDevice(riid, device); }
    HRESULT STDMETHODCALLTYPE Present(UINT interval, UINT flags) override {
        ++presents;
        lastInterval = interval;
        return FAILED(presentResult) ? presentResult : inner_->Present(interval, flags);
    }
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT index, REFIID riid, void** surface) override {
        return inner_->GetBuffer(index, riid, surface);
    }
    HRESULT STDMETHODCALLTYPE SetFullscreenState(BOOL fullscreen, IDXGIOutput* target) override {
        return inner_->SetFullscreenState(fullscreen, target);
    }
    HRESULT STDMETHODCALLTYPE GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target) override {
        return inner_->GetFullscreenState(fullscreen, target);
    }
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_SWAP_CHAIN_DESC* desc) override { return inner_->GetDesc(desc); }
    HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT format,
                                            UINT flags) override {
        return FAILED(resizeResult) ? resizeResult : inner_->ResizeBuffers(count, width, height, format, flags);
    }
    HRESULT STDMETHODCALLTYPE ResizeTarget(const DXGI_MODE_DESC* mode) override { return inner_->ResizeTarget(mode); }
    HRESULT STDMETHODCALLTYPE GetContainingOutput(IDXGIOutput** output) override {
        return inner_->GetContainingOutput(output);
    }
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DXGI_FRAME_STATISTICS* stats) override {
        return inner_->GetFrameStatistics(stats);
    }
    HRESULT STDMETHODCALLTYPE GetLastPresentCount(UINT* count) override { return inner_->GetLastPresentCount(count); }

private:
    ComPtr<IDXGISwapChain> inner_;
    bool* released_;
    std::atomic<ULONG> references_{1};
};

// A ready backend whose swap chain can be told to fail.
class FaultyBackend {
public:
    FaultyBackend() : parent_(640, 360), view_(640, 360, parent_.Handle()) {
        initialized = backend.Initialize(view_.Handle(), {});
        if (!initialized) return;
        backend.SetVSync(false);
        D3D11Renderer::Impl& impl = D3D11RendererTestAccess::Of(backend);
        swapChain = new FaultySwapChain(impl.swapChain, &released);
        impl.swapChain = swapChain;
        swapChain->Release();  // the backend now holds the only reference
    }
    D3D11Renderer::Impl& Impl() { return D3D11RendererTestAccess::Of(backend); }
    TestWindow& View() { return view_; }

    D3D11Renderer backend;
    bool initialized = false;
    bool released = false;
    FaultySwapChain* swapChain = nullptr;  // valid until released

private:
    TestWindow parent_;
    TestWindow view_;
};

TEST(D3D11Faults, RemovedDeviceAtPresentEndsTheBackendUntilInitializedAgain) {
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    const gameplay::TrainingSimulation sim = LookingIntoTheVoid(0);
    ASSERT_TRUE(f.backend.Render(sim, RenderOverlay{})) << Utf8(f.backend.LastError());

    f.swapChain->presentResult = DXGI_ERROR_DEVICE_REMOVED;
    EXPECT_FALSE(f.backend.Render(sim, RenderOverlay{}));
    EXPECT_FALSE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 device was removed or reset.");
    // Every device object is gone at once, the swap chain included.
    EXPECT_TRUE(f.released);
    EXPECT_FALSE(f.Impl().device);
    EXPECT_FALSE(f.Impl().context);
    EXPECT_FALSE(f.Impl().hudTarget);
    EXPECT_FALSE(f.Impl().vertexBuffer);

    // Later calls reach nothing that was released.
    f.backend.Resize();
    f.backend.SetVSync(true);
    EXPECT_FALSE(f.backend.Render(sim, RenderOverlay{}));
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 device was removed or reset.");
    f.backend.Shutdown();
    f.backend.Shutdown();

    // The shell may start again on the same object.
    ASSERT_TRUE(f.backend.Initialize(f.View().Handle(), {})) << Utf8(f.backend.LastError());
    EXPECT_TRUE(f.backend.LastError().empty());
    EXPECT_TRUE(f.backend.Render(sim, RenderOverlay{})) << Utf8(f.backend.LastError());
}

TEST(D3D11Faults, ResetDeviceAtPresentIsLostToo) {
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    f.swapChain->presentResult = DXGI_ERROR_DEVICE_RESET;
    EXPECT_FALSE(f.backend.Render(LookingIntoTheVoid(1), RenderOverlay{}));
    EXPECT_FALSE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 device was removed or reset.");
}

TEST(D3D11Faults, OtherPresentFailuresKeepTheBackendForTheNextFrame) {
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    f.swapChain->presentResult = E_FAIL;
    EXPECT_FALSE(f.backend.Render(LookingIntoTheVoid(1), RenderOverlay{}));
    EXPECT_TRUE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"D3D11 present failed.");
    f.swapChain->presentResult = S_OK;
    EXPECT_TRUE(f.backend.Render(LookingIntoTheVoid(1), RenderOverlay{}));
    EXPECT_FALSE(f.released);
}

TEST(D3D11Faults, FailedResizeLeavesTheBackendNotReadyWithoutItsViews) {
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    f.swapChain->resizeResult = E_OUTOFMEMORY;
    f.View().Resize(500, 300);
    f.backend.Resize();
    const int presentsBefore = f.swapChain->presents;
    EXPECT_FALSE(f.backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_FALSE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 swap chain resize failed.");
    EXPECT_FALSE(f.Impl().hudTarget);
    EXPECT_FALSE(f.Impl().backBufferView);
    // Nothing more is drawn or presented through the missing views.
    EXPECT_FALSE(f.backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_EQ(f.swapChain->presents, presentsBefore);
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 swap chain resize failed.");
    f.backend.Shutdown();
    EXPECT_TRUE(f.released);
}

TEST(D3D11Faults, ResizeOnALostDeviceReportsTheLoss) {
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    f.swapChain->resizeResult = DXGI_ERROR_DEVICE_REMOVED;
    f.backend.Resize();
    EXPECT_FALSE(f.backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_FALSE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 device was removed or reset.");
    EXPECT_TRUE(f.released);
}

TEST(D3D11Faults, VSyncTakesEffectAtTheVeryNextPresent) {
    FaultyBackend f;  // made with vsync off
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    const gameplay::TrainingSimulation sim = LookingIntoTheVoid(0);
    ASSERT_TRUE(f.backend.Render(sim, RenderOverlay{}));
    EXPECT_EQ(f.swapChain->lastInterval, 0u);
    f.backend.SetVSync(true);
    ASSERT_TRUE(f.backend.Render(sim, RenderOverlay{}));
    EXPECT_EQ(f.swapChain->lastInterval, 1u);
    f.backend.SetVSync(false);
    ASSERT_TRUE(f.backend.Render(sim, RenderOverlay{}));
    EXPECT_EQ(f.swapChain->lastInterval, 0u);
    EXPECT_EQ(f.swapChain->presents, 3);
}

TEST(D3D11Faults, FrameStepFailuresTellLossFromPassingTrouble) {
    EXPECT_TRUE(IsDeviceLost(DXGI_ERROR_DEVICE_REMOVED));
    EXPECT_TRUE(IsDeviceLost(DXGI_ERROR_DEVICE_RESET));
    EXPECT_TRUE(IsDeviceLost(DXGI_ERROR_DEVICE_HUNG));
    EXPECT_FALSE(IsDeviceLost(E_OUTOFMEMORY));
    EXPECT_FALSE(IsDeviceLost(DXGI_ERROR_WAS_STILL_DRAWING));
    EXPECT_FALSE(IsDeviceLost(S_OK));

    // A map that fails for want of memory loses the frame, not the backend; one that
    // reports a removed device ends it (the upload path goes through the same rule).
    FaultyBackend f;
    ASSERT_TRUE(f.initialized) << Utf8(f.backend.LastError());
    EXPECT_FALSE(f.Impl().FrameFailed(E_OUTOFMEMORY, L"D3D11 scene upload failed."));
    EXPECT_TRUE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"D3D11 scene upload failed.");
    EXPECT_TRUE(f.backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_FALSE(f.Impl().FrameFailed(DXGI_ERROR_DEVICE_REMOVED, L"D3D11 scene upload failed."));
    EXPECT_FALSE(f.backend.Ready());
    EXPECT_EQ(f.backend.LastError(), L"Direct3D 11 device was removed or reset.");
    EXPECT_TRUE(f.released);
}

}  // namespace
}  // namespace tarvo::renderer
