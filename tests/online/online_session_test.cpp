// The online test match end to end on a real shell: its main window, the real
// Direct3D 11 backend in the render view, the match client over loopback UDP to the
// local match server, and the shell's own command, pump and frame functions called
// in the order of its message loop. A recording wrapper around the backend keeps
// each frame's overlay and asks for a frame capture when a test wants one.
#include <algorithm>

#include <functional>

#include "support/fake_match_server.h"
#include "support/forwarding_backend.h"
#include "common/text_utils.h"
#include "gameplay/training_simulation.h"
#include "online/match_identity.h"
#include "presentation/match_hud.h"
#include "shell/shell_fixture.h"
#include "support/render_window.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using namespace std::chrono_literals;

constexpr char kProfile[] = "prof-local";
constexpr char kToken[] = "tok-local-0123456789";
constexpr wchar_t kTimeoutToast[] = L"СЕРВЕР МАТЧУ НЕ ВІДПОВІДАЄ / MATCH SERVER TIMEOUT";

// Forwards everything to the real backend; remembers the overlays it drew.
class RecordingBackend final : public testing::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    bool Render(const gameplay::TrainingSimulation& sim, const renderer::RenderOverlay& overlay) override {
        ++frames;
        last = overlay;
        if (captureNext.empty()) return ForwardingBackend::Render(sim, overlay);
        captured = overlay;
        captured.qaCapturePath = distribution::WideToUtf8(captureNext.wstring());
        captureNext.clear();
        return ForwardingBackend::Render(sim, captured);
    }

    int frames = 0;
    renderer::RenderOverlay last;      // of the latest frame
    renderer::RenderOverlay captured;  // of the frame last captured
    std::filesystem::path captureNext;
};

const testing::FakeRemotePlayer kAda{
    .id = 40, .team = 2, .weapon = 1, .kills = 2, .x = 2.0f, .z = -20.0f, .name = "ada"};

class OnlineSession : public ShellFixture {
protected:
    void SetUp() override {
        testing::FakeMatchOptions options;
        options.credentials[kProfile] = kToken;
        options.capacity = capacity_;
        server = std::make_unique<testing::FakeMatchServer>(options);
        ASSERT_TRUE(server->Running());
        server->SetRemotePlayers(
            {kAda, {.id = 41, .team = 1, .weapon = 1, .kills = 0, .x = -2.0f, .z = -20.0f, .name = "bo"}});

        config = Root() / "online-test.cfg";
        tarvo::testing::WriteBytes(config, "127.0.0.1 " + std::to_string(server->Port()) + " " + options.joinKey + "\n");

        // The credential of the player key "LOCAL" as an earlier match left it.
        online::MatchIdentity identity;
        identity.playerKey = L"LOCAL";
        identity.profileId = kProfile;
        identity.token = kToken;
        identity.expiresAt = 4000000000ull;
        identity.valid = true;
        ASSERT_TRUE(online::SaveMatchIdentityCache(online::MatchIdentityCachePath(), identity));

        shell = MakeShell();
        shell->onlineTestConfig = config;
        shell->rendererPreference = renderer::RenderBackendKind::Direct3D11;
        UseTestClock(*shell);
        ASSERT_TRUE(SUCCEEDED(shell->CreateGraphicsFactories()));
        ASSERT_TRUE(shell->RegisterWindowClasses());
        ASSERT_TRUE(shell->CreateMainWindow());
        ShowWindow(shell->window, SW_SHOWNOACTIVATE);
        Drain();
    }

    void TearDown() override {
        if (shell && shell->window) DestroyWindow(shell->window);
        Drain();
        shell.reset();
        server.reset();
    }

    static void Drain() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // One turn of the shell's loop after its wait, with a frame due.
    void Turn() {
        Drain();
        // Another test's window on the shared display may take the focus, which pauses play;
        // the player carries on (Escape on the pause screen) unless the arsenal is open.
        if (shell->router.Current() == ScreenId::Pause && !shell->shopOpen) shell->OnKeyDown(VK_ESCAPE);
        shell->PumpMatchStatus();
        shell->PumpMatchIdentity();
        shell->lastFrameAt = shell->Now() - 40ms;
        shell->PumpGameplayFrame();
    }

    bool TurnUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            Turn();
            if (done()) return true;
            Sleep(2);
        }
        return false;
    }

    // Starts the match and puts the recorder around the backend the start made.
    RecordingBackend* Start() {
        shell->Dispatch("match.start");
        if (!shell->simulation || !shell->renderBackend) return nullptr;
        auto recorder = std::make_unique<RecordingBackend>(std::move(shell->renderBackend));
        RecordingBackend* raw = recorder.get();
        shell->renderBackend = std::move(recorder);
        return raw;
    }

    tarvo::test::Bitmap CaptureFrame(RecordingBackend& backend, const char* name) {
        const std::filesystem::path file = Root() / name;
        backend.captureNext = file;
        Turn();
        return tarvo::test::Bitmap::Read(file);
    }

    // Wine keeps no invalidation of a hidden or minimised window, or of one off the desktop.
    std::string WindowState() const {
        RECT r{};
        GetWindowRect(shell->window, &r);
        return "visible " + std::to_string(IsWindowVisible(shell->window)) + ", minimised " +
               std::to_string(IsIconic(shell->window)) + ", at " + std::to_string(r.left) + "," + std::to_string(r.top) +
               " to " + std::to_string(r.right) + "," + std::to_string(r.bottom);
    }

    // What the shot prediction looked at, for a failure message.
    std::string TriggerState() const {
        const auto& player = shell->simulation->Player();
        const auto& weapon = shell->simulation->Weapon();
        const auto& info = shell->matchClient.Info();
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(shell->nextShotAt - shell->Now());
        return "screen " + std::to_string(static_cast<int>(shell->router.Current())) +
               ", menu " + std::to_string(shell->menuOpen) + ", connected " + std::to_string(shell->matchClient.Connected()) +
               ", info " + std::to_string(info.valid) + ", round " + std::to_string(info.roundState) +
               ", dead " + std::to_string(player.dead) + ", weapon " + std::to_string(player.weaponIndex) +
               ", magazine " + std::to_string(weapon.magazine) + ", reloading " + std::to_string(weapon.reloading) +
               ", next shot in " + std::to_string(wait.count()) + " ms";
    }

    int capacity_ = 8;
    std::unique_ptr<testing::FakeMatchServer> server;
    std::filesystem::path config;
    std::unique_ptr<NativeShell> shell;
};

bool Near(const std::array<int, 3>& pixel, float r, float g, float b) {
    return std::abs(pixel[0] - r * 255) <= 3 && std::abs(pixel[1] - g * 255) <= 3 && std::abs(pixel[2] - b * 255) <= 3;
}

TEST_F(OnlineSession, StartSeePlayersFireBuySeeTheHudAndLeave) {
    shell->Dispatch("mode.0");
    shell->Dispatch("map.2");
    RecordingBackend* backend = Start();
    ASSERT_NE(backend, nullptr) << ::testing::PrintToString(LogEvents());
    EXPECT_TRUE(shell->onlineMatch);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    EXPECT_EQ(backend->Kind(), renderer::RenderBackendKind::Direct3D11);
    EXPECT_TRUE(shell->simulation->Bots().empty()) << "an online session has no bots of its own";
    EXPECT_TRUE(shell->identityLoad.has_value());

    // The first frame goes out before any report: no match block yet.
    const tarvo::test::Bitmap before = CaptureFrame(*backend, "before.bmp");
    ASSERT_GT(before.width, 0);
    EXPECT_FALSE(backend->captured.onlineMatch);

    // The other players arrive as bots, and the cached credential opens the shop.
    ASSERT_TRUE(TurnUntil([&] {
        return shell->simulation->Bots().size() == 2 && shell->matchClient.Info().valid &&
               shell->matchClient.Economy().authenticated;
    }));
    const std::vector<testing::FakeMatchPlayer> joined = server->Players();
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0].modeKey, "tdm4");
    EXPECT_EQ(joined[0].map, 2);
    EXPECT_EQ(joined[0].name, "LOCAL_OPERATOR");
    EXPECT_EQ(joined[0].profileId, kProfile);
    const auto& bots = shell->simulation->Bots();
    const auto ada = std::find_if(bots.begin(), bots.end(), [](const gameplay::Bot& b) { return b.id == 40; });
    ASSERT_NE(ada, bots.end());
    EXPECT_EQ(ada->name, L"ada");
    EXPECT_EQ(ada->team, 2);
    EXPECT_EQ(ada->weaponIndex, 1);
    EXPECT_FLOAT_EQ(ada->position.z, -20.0f);
    EXPECT_EQ(shell->simulation->mapIndex, 2) << "the arena of the chosen map";

    // Fire: the shot sounds at once (predicted), the next input carries it, and the
    // server's count takes the prediction back.
    ASSERT_TRUE(TurnUntil([&] { return shell->trackedWeapon == 0; }));
    const int magazine = shell->simulation->Weapon().magazine;
    shell->FireWeapon();
    EXPECT_EQ(shell->predictedShots, 1) << TriggerState();
    EXPECT_TRUE(shell->fireRequested);
    EXPECT_GT(shell->muzzleFlash, 0.0f);
    ASSERT_TRUE(TurnUntil([&] { return shell->matchClient.Info().localShots == 1 && shell->predictedShots == 0; }));
    EXPECT_FALSE(shell->fireRequested) << "cleared once an input datagram went out";
    EXPECT_EQ(shell->serverShotCount, 1u);
    EXPECT_EQ(server->Players()[0].shots, 1u);
    ASSERT_TRUE(TurnUntil([&] { return shell->simulation->Weapon().magazine == magazine - 1; }));

    // Another player's shots are heard through the reconcile.
    testing::FakeRemotePlayer shooter = kAda;
    shooter.shots = 5;
    server->SetRemotePlayers({shooter});
    ASSERT_TRUE(TurnUntil([&] {
        const auto seen = shell->remoteShotCounts.find(40);
        return seen != shell->remoteShotCounts.end() && seen->second == 5u;
    }));

    // Buy the second weapon from the arsenal: F2 opens it, 2 buys.
    shell->OnKeyDown(VK_F2);
    EXPECT_TRUE(shell->shopOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    shell->OnKeyDown('2');
    EXPECT_EQ(shell->matchClient.Economy().message, "PENDING");
    ASSERT_TRUE(TurnUntil([&] {
        return shell->matchClient.Economy().message == "EQUIPPED" && shell->simulation->Player().weaponIndex == 1;
    }));
    EXPECT_EQ(shell->matchClient.Economy().coins, 200);
    EXPECT_EQ(shell->matchClient.Economy().ownedWeapons, 3u);
    EXPECT_EQ(backend->last.shopStatus, "EQUIPPED");
    EXPECT_TRUE(backend->last.arsenalOpen);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_FALSE(shell->shopOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);

    // The HUD's match block: the overlay carries the report and the frame shows it.
    const tarvo::test::Bitmap after = CaptureFrame(*backend, "after.bmp");
    const renderer::RenderOverlay& overlay = backend->captured;
    EXPECT_TRUE(overlay.onlineMatch);
    EXPECT_EQ(overlay.matchMode, 0);
    EXPECT_EQ(overlay.matchMap, 2);
    EXPECT_EQ(overlay.localTeam, 1);
    EXPECT_EQ(overlay.cyanScore, 0);
    EXPECT_EQ(overlay.amberScore, 2) << "ada's kills for amber";
    EXPECT_EQ(overlay.roundSeconds, 600);
    EXPECT_EQ(overlay.localPlayerId, 7);
    EXPECT_EQ(overlay.scoreRows.size(), 2u);
    EXPECT_EQ(overlay.scoreRows.front().name, "ada") << "most kills first";
    const presentation::MatchHudLayout hud = presentation::BuildMatchHud(overlay, static_cast<float>(after.width),
                                                                         static_cast<float>(after.height));
    ASSERT_GE(hud.texts.size(), 2u);
    EXPECT_EQ(hud.texts[0].text, "TDM 4v4 / SKYDOCK");
    EXPECT_EQ(hud.texts[1].text, "10:00");

    ASSERT_EQ(after.width, before.width);
    const int cx = after.width / 2;
    EXPECT_TRUE(Near(after.At(cx, 19), 0.025f, 0.75f, 0.85f)) << "the cyan bar over the match panel";
    EXPECT_TRUE(Near(after.At(cx + 230, 100), 0.014f, 0.026f, 0.038f)) << "the match panel";
    EXPECT_FALSE(Near(before.At(cx, 19), 0.025f, 0.75f, 0.85f)) << "no panel before the first report";
    EXPECT_GT(tarvo::test::BrightPixels(after, cx + 135, 28, cx + 200, 55), 10) << "the clock's glyphs";

    // Leave: Escape opens the menu, Enter ends the session; the server hears it.
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    shell->OnKeyDown(VK_RETURN);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_FALSE(shell->onlineMatch);
    EXPECT_FALSE(shell->matchClient.IsOpen());
    EXPECT_EQ(shell->predictedShots, 0);
    EXPECT_TRUE(shell->remoteShotCounts.empty());
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!server->Players()[0].left && std::chrono::steady_clock::now() < deadline) Sleep(5);
    EXPECT_TRUE(server->Players()[0].left);
    EXPECT_EQ(server->CountReceived("LEAVE"), 1u);
    EXPECT_EQ(shell->playerData.botStats.trainingsStarted, 0u) << "online sessions are not trainings";
    EXPECT_TRUE(shell->toast.empty());
}

TEST_F(OnlineSession, TheServerStopsAndAfterEightSecondsTheMatchEndsWithItsToast) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_TRUE(TurnUntil([&] { return shell->matchClient.Connected() && shell->matchClient.Info().valid; }));
    // The clock stops while the server still speaks, so what it says last is heard at that instant.
    const NativeShell::Clock::time_point heard = NativeShell::Clock::now();
    heldTime = heard;
    const std::uint64_t accepted = shell->matchClient.Traffic().accepted;
    ASSERT_TRUE(TurnUntil([&] { return shell->matchClient.Traffic().accepted > accepted; }));
    server->Stop();
    for (std::uint64_t received = 0; received != shell->matchClient.Traffic().received;) {  // what was on its way
        received = shell->matchClient.Traffic().received;
        Turn();
    }
    heldTime = heard + 8s;
    Turn();
    ASSERT_NE(shell->simulation, nullptr) << "exactly eight seconds is not more than eight";
    EXPECT_TRUE(shell->onlineMatch);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    heldTime = heard + 8001ms;
    Turn();
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_EQ(shell->toast, kTimeoutToast);
    EXPECT_TRUE(GetUpdateRect(shell->window, nullptr, FALSE)) << "home is drawn again with the text; " << WindowState();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_FALSE(shell->onlineMatch);
    EXPECT_FALSE(shell->matchClient.IsOpen());
}

class FullRoom : public OnlineSession {
protected:
    void SetUp() override {
        capacity_ = 0;
        OnlineSession::SetUp();
    }
};

TEST_F(FullRoom, TheSessionEndsWithTheRoomFullToast) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_TRUE(TurnUntil([&] { return shell->simulation == nullptr; }));
    EXPECT_EQ(shell->toast, L"КІМНАТА ЗАПОВНЕНА / ROOM FULL. ОБЕРИ ІНШУ КАРТУ АБО РЕЖИМ.");
    EXPECT_TRUE(GetUpdateRect(shell->window, nullptr, FALSE)) << WindowState();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_FALSE(shell->matchClient.IsOpen());
}

}  // namespace
}  // namespace tarvo::ui::test
