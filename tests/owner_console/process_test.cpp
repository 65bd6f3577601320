// The owner console as a running program: a real window driven by mouse messages
// through the gate and all fifteen pages, and the test launcher started as its own
// process with and without libsodium beside it.
#include "common/file_utils.h"
#include "owner_console/ostrel_ui.h"
#include "shell/shell_fixture.h"
#include "support/child_process.h"
#include "support/fake_release_control.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

// A left-button release at a canvas point, in the window's client pixels.
void ClickCanvas(const NativeShell& shell, float x, float y) {
    const int cx = static_cast<int>(x * shell.canvasScale + shell.canvasOffset.x);
    const int cy = static_cast<int>(y * shell.canvasScale + shell.canvasOffset.y);
    PostMessageW(shell.window, WM_LBUTTONUP, 0, MAKELPARAM(cx, cy));
}

class OwnerConsoleRun : public ShellFixture {};

TEST_F(OwnerConsoleRun, StartsOnTheGateUnlocksAndVisitsEveryPageByMouse) {
    core::Log().Initialize(L"tarvonix-ostrel-node.log");
    auto shell = MakeShell(ProductKind::OstrelNode);
    const auto pages = ostrel::Pages();
    std::vector<ScreenId> visited;
    bool sawGate = false;
    bool unlocked = false;
    bool resized = false;
    const int code = RunStepping(*shell, [&](NativeShell& s) {
        if (s.hitRegions.empty()) return;  // not painted yet
        if (!resized) {
            // A small window paints faster; the clicks below go through the same canvas mapping.
            resized = true;
            SetWindowPos(s.window, nullptr, 0, 0, 800, 500, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
            s.hitRegions.clear();  // wait for the paint at the new size
            return;
        }
        const ScreenId screen = s.router.Current();
        if (screen == ScreenId::OstrelGate) {
            sawGate = s.hitRegions.size() == 1 && s.hitRegions[0].command == "ostrel.unlock";
            if (!unlocked) {
                const D2D_RECT_F r = s.hitRegions[0].rect;
                ClickCanvas(s, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
                unlocked = true;
            }
            return;
        }
        if (!visited.empty() && visited.back() == screen) return;  // waiting for the click to land
        visited.push_back(screen);
        if (visited.size() >= pages.size()) {
            PostMessageW(s.window, WM_CLOSE, 0, 0);
            return;
        }
        // The next sidebar entry, found in what this page painted.
        for (const HitRegion& region : s.hitRegions) {
            if (region.command == pages[visited.size()].command) {
                ClickCanvas(s, (region.rect.left + region.rect.right) / 2, (region.rect.top + region.rect.bottom) / 2);
                break;
            }
        }
    }, 90000);  // a hang guard: on a loaded machine each page paints slowly
    const auto events = LogEvents(L"tarvonix-ostrel-node.log");
    core::Log().Initialize(L"tarvonix-volley.log");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(sawGate);
    // The unlock lands on the overview; every other page follows in sidebar order.
    std::vector<ScreenId> expected;
    for (const ostrel::Page& page : pages) expected.push_back(page.screen);
    EXPECT_EQ(visited, expected);
    EXPECT_NE(std::find(events.begin(), events.end(), "WindowCreated"), events.end());
}

TEST_F(OwnerConsoleRun, WithoutLibsodiumBesideItTheSignedCommandIsRefusedWithItsMessage) {
    const std::filesystem::path built = distribution::ExecutableDirectory() / "ostrel_launcher.exe";
    ASSERT_TRUE(std::filesystem::exists(built));
    ASSERT_TRUE(std::filesystem::exists(distribution::ExecutableDirectory() / "libsodium.dll"));
    testing::FakeReleaseControl service;

    // Beside its libsodium.dll the launcher signs and the service verifies.
    const testing::ProgramRun signing = testing::RunProgram(built, L"sign " + service.BaseUrl());
    EXPECT_EQ(signing.exitCode, 0u) << signing.output;
    EXPECT_NE(signing.output.find("sent 200"), std::string::npos) << signing.output;
    ASSERT_EQ(service.Commands().size(), 1u);
    EXPECT_TRUE(service.Commands()[0].signatureValid);

    // The same program alone in a folder: nothing is sent and the message says why.
    const std::filesystem::path alone = Root() / "alone";
    std::filesystem::create_directories(alone);
    std::filesystem::copy_file(built, alone / "ostrel_launcher.exe");
    const testing::ProgramRun refused =
        testing::RunProgram(alone / "ostrel_launcher.exe", L"sign " + service.BaseUrl());
    EXPECT_EQ(refused.exitCode, 2u) << refused.output;
    EXPECT_NE(refused.output.find("refused libsodium is not available: libsodium.dll was not found"), std::string::npos)
        << refused.output;
    EXPECT_EQ(service.RequestCount(), 1u) << "the refused command never reached the service";
}

}  // namespace
}  // namespace tarvo::ui::test
