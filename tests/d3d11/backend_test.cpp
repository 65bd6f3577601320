#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "common/file_utils.h"
#include "d3d11/d3d11_test_support.h"
#include "presentation/weapon_meshes.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;

// The pixel bounds of the scene's first-person meshes, which close the vertex list.
struct PixelBox {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
};

PixelBox FirstPersonBounds(const std::vector<Vertex>& vertices, size_t count, float width, float height) {
    PixelBox box;
    for (size_t i = vertices.size() - count; i < vertices.size(); ++i) {
        const float x = (vertices[i].position[0] + 1.0f) * 0.5f * width;
        const float y = (1.0f - vertices[i].position[1]) * 0.5f * height;
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
    }
    return box;
}

TEST(D3D11Backend, RendersTrainingInAChildWindowAndCapturesIt) {
    testing::TempFolder temp;
    TestWindow parent(1280, 720);
    TestWindow view(1280, 720, parent.Handle());
    ASSERT_TRUE(view.Handle());
    D3D11Renderer backend;
    ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
    EXPECT_TRUE(backend.Ready());
    EXPECT_TRUE(backend.LastError().empty());
    EXPECT_FALSE(backend.DeviceName().empty());
    EXPECT_TRUE(backend.ImportedCharacterReady());
    EXPECT_TRUE(backend.ImportedWeaponReady());
    backend.SetVSync(false);

    // A running training match, a few frames, then one captured.
    gameplay::TrainingSimulation sim{gameplay::GameplayConfig{}};
    sim.Start();
    RenderOverlay overlay;
    overlay.deviceName = backend.DeviceName();
    gameplay::InputState input;
    input.forward = true;
    for (int frame = 0; frame < 5; ++frame) {
        sim.Update(input, 1.0f / 60.0f);
        overlay.elapsedSeconds = frame / 60.0f;
        ASSERT_TRUE(backend.Render(sim, overlay)) << Utf8(backend.LastError());
        TestWindow::Pump();
    }
    const std::filesystem::path trainingFile = temp.Path() / L"кадри" / L"training.bmp";
    overlay.qaCapturePath = Utf8(trainingFile.wstring());
    ASSERT_TRUE(backend.Render(sim, overlay)) << Utf8(backend.LastError());
    const Bitmap training = Bitmap::Read(trainingFile);
    ASSERT_EQ(training.width, 1280);
    ASSERT_EQ(training.height, 720);
    ASSERT_EQ(training.bytes.size(), 54u + 1280u * 720u * 4u);

    // Into the void: sky, panels, glyphs, the first-person rifle.
    const gameplay::TrainingSimulation relay = LookingIntoTheVoid(0);
    overlay = RenderOverlay{};
    overlay.qaCapturePath = Utf8((temp.Path() / L"void.bmp").wstring());
    ASSERT_TRUE(backend.Render(relay, overlay)) << Utf8(backend.LastError());
    const Bitmap bmp = Bitmap::Read(temp.Path() / L"void.bmp");
    ASSERT_EQ(bmp.width, 1280);
    ASSERT_EQ(bmp.height, 720);
    EXPECT_TRUE(ColourNear(bmp.At(640, 250), kRelaySky[0], kRelaySky[1], kRelaySky[2]));
    EXPECT_TRUE(ColourNear(bmp.At(900, 100), kRelaySky[0], kRelaySky[1], kRelaySky[2]));
    const auto panel = PanelOver(kRelaySky[0], kRelaySky[1], kRelaySky[2]);
    EXPECT_TRUE(ColourNear(bmp.At(440, 88), panel[0], panel[1], panel[2]));             // top left
    EXPECT_TRUE(ColourNear(bmp.At(1280 - 30, 105), panel[0], panel[1], panel[2]));     // top right
    EXPECT_TRUE(ColourNear(bmp.At(360, 720 - 30), panel[0], panel[1], panel[2]));      // bottom left
    EXPECT_TRUE(ColourNear(bmp.At(1280 - 30, 720 - 30), panel[0], panel[1], panel[2]));  // bottom right
    // Glyphs: the map name and the health line, and none in the empty panel strip.
    EXPECT_GT(BrightPixels(bmp, 42, 30, 192, 78), 120);
    EXPECT_GT(BrightPixels(bmp, 42, 720 - 112, 332, 720 - 57), 200);
    EXPECT_GT(BrightPixels(bmp, 1280 - 307, 720 - 112, 1280 - 34, 720 - 57), 200);
    EXPECT_EQ(BrightPixels(bmp, 300, 82, 440, 94), 0);

    // The first-person arms and rifle: where the scene puts them, the sky is covered.
    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;
    weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset());
    D3D11Scene scene;
    BuildD3D11Scene(scene, relay, overlay, {character, weapon, false}, 1280, 720);
    const size_t rifle = presentation::ArsenalMesh(0, weapon.Vertices()).size();
    ASSERT_GT(rifle, 0u);
    const PixelBox box = FirstPersonBounds(scene.vertices, rifle, 1280, 720);
    int covered = 0, total = 0;
    for (int y = std::max(0, int(box.top)); y < std::min(720 - 140, int(box.bottom)); y += 2) {
        for (int x = std::max(0, int(box.left)); x < std::min(1280 - 372, int(box.right)); x += 2) {
            ++total;
            covered += !ColourNear(bmp.At(x, y), kRelaySky[0], kRelaySky[1], kRelaySky[2], 3.0f);
        }
    }
    ASSERT_GT(total, 200);
    EXPECT_GT(covered, total / 5) << covered << " of " << total;

    // The third map clears to its own sky.
    overlay.qaCapturePath = Utf8((temp.Path() / L"sky.bmp").wstring());
    ASSERT_TRUE(backend.Render(LookingIntoTheVoid(2), overlay)) << Utf8(backend.LastError());
    EXPECT_TRUE(ColourNear(Bitmap::Read(temp.Path() / L"sky.bmp").At(640, 250), kSkydockSky[0], kSkydockSky[1],
                           kSkydockSky[2]));

    // A resize takes effect at the next frame; the capture has the new size.
    view.Resize(1024, 600);
    backend.Resize();
    overlay.qaCapturePath = Utf8((temp.Path() / L"small.bmp").wstring());
    ASSERT_TRUE(backend.Render(relay, overlay)) << Utf8(backend.LastError());
    const Bitmap small = Bitmap::Read(temp.Path() / L"small.bmp");
    EXPECT_EQ(small.width, 1024);
    EXPECT_EQ(small.height, 600);
    EXPECT_TRUE(ColourNear(small.At(1024 - 30, 600 - 30), panel[0], panel[1], panel[2]));

    backend.Shutdown();
    EXPECT_FALSE(backend.Ready());
    EXPECT_FALSE(backend.ImportedCharacterReady());
    backend.Shutdown();
    EXPECT_FALSE(backend.Render(relay, overlay));
    EXPECT_FALSE(backend.LastError().empty());
}

}  // namespace
}  // namespace tarvo::renderer
