#include <gtest/gtest.h>

#include <fstream>

#include "d3d11/d3d11_test_support.h"
#include "presentation/weapon_meshes.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;

TEST(D3D11Lifecycle, EveryCallIsSafeBeforeInitialize) {
    D3D11Renderer backend;
    EXPECT_EQ(backend.Kind(), RenderBackendKind::Direct3D11);
    EXPECT_FALSE(backend.Ready());
    EXPECT_TRUE(backend.LastError().empty());
    EXPECT_TRUE(backend.DeviceName().empty());
    EXPECT_FALSE(backend.ImportedCharacterReady());
    EXPECT_FALSE(backend.ImportedWeaponReady());
    backend.Resize();
    backend.SetVSync(true);
    backend.Shutdown();
    EXPECT_FALSE(backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_EQ(backend.LastError(), L"Direct3D 11 renderer is not ready.");
}

TEST(D3D11Lifecycle, AFailedInitializeExplainsItselfAndTheNextOneStartsClean) {
    D3D11Renderer backend;
    EXPECT_FALSE(backend.Initialize(nullptr, {}));
    EXPECT_EQ(backend.LastError(), L"Direct3D 11 swap chain creation failed.");
    EXPECT_FALSE(backend.Ready());
    EXPECT_FALSE(backend.Render(LookingIntoTheVoid(0), RenderOverlay{}));
    EXPECT_EQ(backend.LastError(), L"Direct3D 11 swap chain creation failed.");

    TestWindow parent(480, 270);
    TestWindow view(480, 270, parent.Handle());
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    EXPECT_TRUE(backend.LastError().empty());
    EXPECT_TRUE(backend.Render(LookingIntoTheVoid(0), RenderOverlay{})) << Utf8(backend.LastError());
}

TEST(D3D11Lifecycle, InitializeShutdownAndInitializeAgainOnOneObject) {
    TestWindow parent(480, 270);
    TestWindow view(480, 270, parent.Handle());
    D3D11Renderer backend;
    backend.SetVSync(false);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
        EXPECT_TRUE(backend.ImportedCharacterReady());
        EXPECT_TRUE(backend.ImportedWeaponReady());
        EXPECT_TRUE(backend.Render(LookingIntoTheVoid(round % 3), RenderOverlay{})) << Utf8(backend.LastError());
        backend.Shutdown();
        EXPECT_FALSE(backend.Ready());
        EXPECT_FALSE(backend.ImportedCharacterReady());  // the assets go with the device
    }
    // Initialize on a ready backend replaces what it had.
    ASSERT_TRUE(backend.Initialize(view.Handle(), {}));
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    EXPECT_TRUE(backend.Render(LookingIntoTheVoid(0), RenderOverlay{})) << Utf8(backend.LastError());
    // Destroyed while ready: the destructor releases everything.
}

TEST(D3D11Lifecycle, AZeroSizedViewGetsOnePixelAndGrowsBackOnResize) {
    testing::TempFolder temp;
    TestWindow parent(640, 360);
    TestWindow view(0, 0, parent.Handle());
    D3D11Renderer backend;
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    RenderOverlay overlay;
    overlay.qaCapturePath = Utf8((temp.Path() / L"tiny.bmp").wstring());
    ASSERT_TRUE(backend.Render(LookingIntoTheVoid(0), overlay)) << Utf8(backend.LastError());
    const Bitmap tiny = Bitmap::Read(temp.Path() / L"tiny.bmp");
    EXPECT_EQ(tiny.width, 1);
    EXPECT_EQ(tiny.height, 1);
    EXPECT_EQ(tiny.bytes.size(), 58u);

    view.Resize(640, 360);
    backend.Resize();
    overlay.qaCapturePath = Utf8((temp.Path() / L"restored.bmp").wstring());
    ASSERT_TRUE(backend.Render(LookingIntoTheVoid(0), overlay)) << Utf8(backend.LastError());
    const Bitmap restored = Bitmap::Read(temp.Path() / L"restored.bmp");
    EXPECT_EQ(restored.width, 640);
    EXPECT_EQ(restored.height, 360);

    // Minimised again: the next frame still has somewhere to draw.
    view.Resize(0, 0);
    backend.Resize();
    EXPECT_TRUE(backend.Render(LookingIntoTheVoid(0), RenderOverlay{})) << Utf8(backend.LastError());
}

TEST(D3D11Lifecycle, CaptureFailuresLoseTheFrameButNotTheBackend) {
    testing::TempFolder temp;
    { std::ofstream(temp.Path() / L"occupied") << "a file, not a folder"; }
    TestWindow parent(320, 180);
    TestWindow view(320, 180, parent.Handle());
    D3D11Renderer backend;
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    RenderOverlay overlay;
    overlay.qaCapturePath = Utf8((temp.Path() / L"occupied" / L"frame.bmp").wstring());
    EXPECT_FALSE(backend.Render(LookingIntoTheVoid(0), overlay));
    EXPECT_EQ(backend.LastError(), L"QA frame write failed");
    EXPECT_TRUE(backend.Ready());
    overlay.qaCapturePath = "\xC3\x28 bad.bmp";  // not UTF-8
    EXPECT_FALSE(backend.Render(LookingIntoTheVoid(0), overlay));
    EXPECT_EQ(backend.LastError(), L"QA frame write failed");
    overlay.qaCapturePath.clear();
    EXPECT_TRUE(backend.Render(LookingIntoTheVoid(0), overlay)) << Utf8(backend.LastError());
}

TEST(D3D11Lifecycle, AnOverCapacitySceneIsRefusedAndTheNextFrameDraws) {
    TestWindow parent(320, 180);
    TestWindow view(320, 180, parent.Handle());
    D3D11Renderer backend;
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    D3D11Renderer::Impl& impl = D3D11RendererTestAccess::Of(backend);

    // A crowd in view, grown until the scene passes the buffers' capacity.
    std::vector<gameplay::Bot> crowd;
    D3D11Scene probe;
    const D3D11SceneAssets assets{impl.character, impl.weapon, impl.characterTexture != nullptr};
    while (probe.vertices.size() <= kD3D11VertexLimit) {
        for (int i = 0; i < 64; ++i) {
            const float n = float(crowd.size());
            crowd.push_back(BotAt({std::fmod(n, 40.0f) - 20.0f, 0, 6.0f + std::floor(n / 40.0f)}, 180));
        }
        BuildD3D11Scene(probe, Posed(1, {0, 0, 0}, 0, crowd), RenderOverlay{}, assets, 320, 180);
        ASSERT_LT(crowd.size(), 20000u);
    }
    EXPECT_FALSE(backend.Render(Posed(1, {0, 0, 0}, 0, crowd), RenderOverlay{}));
    EXPECT_EQ(backend.LastError(), L"D3D11 scene buffer limit exceeded.");
    EXPECT_TRUE(backend.Ready());
    EXPECT_TRUE(backend.Render(Posed(1, {0, 0, 0}, 0, {BotAt({0, 0, 5})}), RenderOverlay{}))
        << Utf8(backend.LastError());
}

}  // namespace
}  // namespace tarvo::renderer
