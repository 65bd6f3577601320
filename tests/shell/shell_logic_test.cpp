// The window and loop decisions as plain functions: wait rule, window rectangle,
// canvas mapping, region search, pause-view rows, Escape, status line, suffixes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "shell/shell_logic.h"
#include "support/temp_folder.h"

namespace tarvo::ui {
namespace {

using navigation::ScreenId;

TEST(WaitRule, PendingWorkOrPauseWakesEvery33Milliseconds) {
    for (ProductKind kind : {ProductKind::Game, ProductKind::OstrelNode}) {
        for (ScreenId screen : {ScreenId::Splash, ScreenId::MainMenu, ScreenId::Gameplay, ScreenId::OstrelGate}) {
            EXPECT_EQ(WaitTimeout(kind, screen, true, 144), 33u);
        }
        EXPECT_EQ(WaitTimeout(kind, ScreenId::Pause, false, 144), 33u);
        EXPECT_EQ(WaitTimeout(kind, ScreenId::Pause, false, 1000), 33u);
    }
}

TEST(WaitRule, GameplayPacesAtTheFrameLimitWithAThirtyHertzFloor) {
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 144), 6u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 60), 16u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 31), 32u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 30), 33u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 0), 33u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, -5), 33u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 1000), 1u);
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Gameplay, false, 5000), 1u);
    EXPECT_EQ(WaitTimeout(ProductKind::OstrelNode, ScreenId::Gameplay, false, 144), 6u);
}

TEST(WaitRule, PlayNeverSleepsPastTheNextFrame) {
    // A fresh frame waits the whole rule; a frame that used part of its period
    // leaves only the rest; a late frame wakes almost at once.
    EXPECT_EQ(PacedFrameWait(33, 0.0, 1.0 / 30), 33u);
    EXPECT_EQ(PacedFrameWait(33, 0.020, 1.0 / 30), 14u);
    EXPECT_EQ(PacedFrameWait(16, 0.001, 1.0 / 60), 16u) << "never longer than the rule";
    EXPECT_EQ(PacedFrameWait(33, 0.040, 1.0 / 30), 1u);
    EXPECT_EQ(PacedFrameWait(6, 1.0e9, 1.0 / 144), 1u);
    EXPECT_EQ(PacedFrameWait(33, std::nan(""), 1.0 / 30), 1u);
}

TEST(WaitRule, IdleScreensSleepUntilInputButTheGameSplashTicks) {
    EXPECT_EQ(WaitTimeout(ProductKind::Game, ScreenId::Splash, false, 144), 50u);
    EXPECT_EQ(WaitTimeout(ProductKind::OstrelNode, ScreenId::Splash, false, 144), INFINITE);
    for (auto id = 1u; id <= 35u; ++id) {
        const auto screen = static_cast<ScreenId>(id);
        if (screen == ScreenId::Gameplay || screen == ScreenId::Pause) continue;
        EXPECT_EQ(WaitTimeout(ProductKind::Game, screen, false, 144), INFINITE) << id;
        EXPECT_EQ(WaitTimeout(ProductKind::OstrelNode, screen, false, 144), INFINITE) << id;
    }
}

// Left, top, width and height of a window rectangle.
std::tuple<LONG, LONG, LONG, LONG> Placed(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST(WindowRect, NinetyTwoPercentOfTheWorkAreaCentred) {
    EXPECT_EQ(Placed(MainWindowRect(RECT{0, 0, 1600, 900})), std::tuple(64, 36, 1472, 828));
}

TEST(WindowRect, CappedAtTheDesignSizeAndOffsetByTheWorkAreaOrigin) {
    EXPECT_EQ(Placed(MainWindowRect(RECT{100, 40, 100 + 3840, 40 + 2160 - 48})),
              std::tuple(100 + (3840 - 1920) / 2, 40 + (2112 - 1080) / 2, 1920, 1080));
}

TEST(WindowRect, TruncatesAndHalvesTowardZero) {
    // 1366 x 0.92 = 1256.72 and 705 x 0.92 = 648.6; the remainders are odd.
    EXPECT_EQ(Placed(MainWindowRect(RECT{0, 0, 1366, 705})), std::tuple(55, 28, 1256, 648));
}

TEST(WindowedSize, AFittingSizeKeepsThePlace) {
    const RECT frame{-8, -31, 8, 8};
    EXPECT_EQ(Placed(WindowedRect(RECT{100, 50, 900, 650}, 1280, 720, frame, RECT{0, 0, 1920, 1040})),
              std::tuple(100, 50, 1280 + 16, 720 + 39));
}

TEST(WindowedSize, ALargerSizeIsScaledIntoTheWorkAreaInProportion) {
    // 2560 x 1440 on a 1920 x 1040 work area: the client gets 1001 of height at most,
    // so 0.6951 of the size; the window moves up to stay inside.
    const RECT frame{-8, -31, 8, 8};
    const RECT work{0, 0, 1920, 1040};
    EXPECT_EQ(Placed(WindowedRect(RECT{100, 50, 900, 650}, 2560, 1440, frame, work)),
              std::tuple(100, 0, 1779 + 16, 1040));

    // A second monitor's work area to the right, the window hanging off its right edge.
    const RECT right{1920, 0, 3840, 1080};
    EXPECT_EQ(Placed(WindowedRect(RECT{3000, 200, 3800, 800}, 2560, 1440, RECT{0, 0, 0, 0}, right)),
              std::tuple(1920, 0, 1920, 1080));
}

TEST(CanvasMapping, LetterboxesAndMapsBothWays) {
    const CanvasTransform wide = CanvasTransformFor(1280, 720);
    EXPECT_FLOAT_EQ(wide.scale, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(wide.offset.x, 0.0f);
    EXPECT_FLOAT_EQ(wide.offset.y, 0.0f);
    const D2D1_POINT_2F centre = MapToCanvas(wide, 640, 360);
    EXPECT_NEAR(centre.x, 960.0f, 1e-3);
    EXPECT_NEAR(centre.y, 540.0f, 1e-3);

    const CanvasTransform tall = CanvasTransformFor(1000, 1080);
    EXPECT_FLOAT_EQ(tall.scale, 1000.0f / 1920.0f);
    EXPECT_NEAR(tall.offset.y, 258.75f, 1e-3);
    EXPECT_NEAR(tall.offset.x, 0.0f, 1e-3);

    const CanvasTransform bars = CanvasTransformFor(1920, 1200);
    EXPECT_FLOAT_EQ(bars.scale, 1.0f);
    EXPECT_FLOAT_EQ(bars.offset.y, 60.0f);
    EXPECT_FLOAT_EQ(MapToCanvas(bars, 100, 30).y, -30.0f);

    const CanvasTransform side = CanvasTransformFor(1280, 1080);
    EXPECT_NEAR(side.scale, 0.6667f, 1e-4);
    EXPECT_NEAR(side.offset.y, 180.0f, 1e-3);
    EXPECT_LT(MapToCanvas(side, 640, 0).y, 0.0f);

    for (const CanvasTransform& t : {wide, tall, bars, side, CanvasTransformFor(2561, 1439)}) {
        for (const D2D1_POINT_2F p : {D2D1::Point2F(0, 0), D2D1::Point2F(1920, 1080), D2D1::Point2F(733.5f, 91.25f)}) {
            const D2D1_POINT_2F client = MapFromCanvas(t, p.x, p.y);
            const D2D1_POINT_2F back = MapToCanvas(t, client.x, client.y);
            EXPECT_NEAR(back.x, p.x, 1e-2);
            EXPECT_NEAR(back.y, p.y, 1e-2);
        }
    }
}

TEST(CanvasMapping, MousePositionsAreSignExtended) {
    const POINT p = PointFromLParam(MAKELPARAM(static_cast<WORD>(-12), static_cast<WORD>(-3)));
    EXPECT_EQ(p.x, -12);
    EXPECT_EQ(p.y, -3);
    const POINT q = PointFromLParam(MAKELPARAM(1919, 1079));
    EXPECT_EQ(q.x, 1919);
    EXPECT_EQ(q.y, 1079);
}

TEST(HitRegionSearch, LastAppendedRegionWinsWithInclusiveEdges) {
    const std::vector<HitRegion> regions = {
        {D2D1::RectF(100, 100, 300, 160), "first"},
        {D2D1::RectF(300, 100, 500, 160), "second"},   // shares the edge x = 300
        {D2D1::RectF(150, 120, 200, 140), "overlay"},  // drawn over "first"
    };
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(120, 130))->command, "first");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(300, 130))->command, "second");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(175, 130))->command, "overlay");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(100, 100))->command, "first");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(500, 160))->command, "second");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(99.99f, 130)), nullptr);
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(200, 160.01f)), nullptr);
    EXPECT_EQ(FindHitRegion({}, D2D1::Point2F(0, 0)), nullptr);
}

TEST(HitRegionSearch, NaNRegionsAndPointsMatchNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<HitRegion> regions = {
        {D2D1::RectF(0, 0, 1920, 1080), "background"},
        {D2D1::RectF(nan, 0, 500, 500), "broken"},
    };
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(10, 10))->command, "background");
    EXPECT_EQ(FindHitRegion(regions, D2D1::Point2F(nan, 10)), nullptr);
}

TEST(PauseRows, MenuRowsAroundTheClientCentre) {
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 540), 1);   // restart / arsenal
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 500), 0);   // resume
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 1241, 500), -1); // right of the rows
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 1240, 500), 0);  // inclusive edge
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 680, 470), 0);   // top-left corner
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 469), -1);
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 526), -1);  // the gap after row 0
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 620), 2);
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 735), 3);
    EXPECT_EQ(PauseMenuRowAt(1920, 1080, 960, 736), -1);
    // An odd client size puts the centre on a half pixel.
    EXPECT_EQ(PauseMenuRowAt(1281, 721, 360, 290), -1);
    EXPECT_EQ(PauseMenuRowAt(1281, 721, 361, 291), 0);
}

TEST(PauseRows, ArsenalRowsOfHeightNinetyEveryHundredFive) {
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 600), 1);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 520), -1);  // between the first two rows
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 425), 0);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 515), 0);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 635), 2);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 725), 2);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 960, 726), -1);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 610, 600), 1);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 609, 600), -1);
    EXPECT_EQ(ArsenalRowAt(1920, 1080, 1311, 600), -1);
}

TEST(EscapeTable, GameClientOutsidePlay) {
    const auto decide = [](ScreenId screen, ScreenId settingsReturn = ScreenId::MainMenu, bool sim = false) {
        return DecideEscape(ProductKind::Game, screen, settingsReturn, sim);
    };
    EXPECT_EQ(decide(ScreenId::Login), EscapeAction::None);
    EXPECT_EQ(decide(ScreenId::MainMenu), EscapeAction::None);
    EXPECT_EQ(decide(ScreenId::Splash), EscapeAction::ToMainMenu);
    for (ScreenId s : {ScreenId::VerifyEmail, ScreenId::VerifyDevice, ScreenId::ForgotPassword, ScreenId::ResetPassword}) {
        EXPECT_EQ(decide(s), EscapeAction::ToLogin);
    }
    EXPECT_EQ(decide(ScreenId::Privacy), EscapeAction::ToPrivacyReturn);
    EXPECT_EQ(decide(ScreenId::Settings, ScreenId::Pause, true), EscapeAction::ToPausedMatch);
    EXPECT_EQ(decide(ScreenId::Settings, ScreenId::Pause, false), EscapeAction::ToMainMenu);
    EXPECT_EQ(decide(ScreenId::Settings, ScreenId::Play, true), EscapeAction::ToMainMenu);
    for (ScreenId s : {ScreenId::LinkAccount, ScreenId::LinkComplete, ScreenId::Devices, ScreenId::Play,
                       ScreenId::Matchmaking, ScreenId::Inventory, ScreenId::Profile, ScreenId::Statistics,
                       ScreenId::Updates, ScreenId::GraphicsCompatibility, ScreenId::OstrelAudit}) {
        EXPECT_EQ(decide(s), EscapeAction::ToMainMenu);
    }
}

TEST(EscapeTable, OwnerConsole) {
    EXPECT_EQ(DecideEscape(ProductKind::OstrelNode, ScreenId::OstrelGate, ScreenId::MainMenu, false), EscapeAction::None);
    for (auto id = 22u; id <= 35u; ++id) {
        EXPECT_EQ(DecideEscape(ProductKind::OstrelNode, static_cast<ScreenId>(id), ScreenId::MainMenu, false),
                  EscapeAction::ToOstrelOverview);
    }
    EXPECT_EQ(DecideEscape(ProductKind::OstrelNode, ScreenId::Statistics, ScreenId::MainMenu, false),
              EscapeAction::ToOstrelOverview);
}

TEST(MatchStatus, OnlineWithOptionalBlanksAroundTheColon) {
    EXPECT_EQ(MatchStatusLine(R"({"online":true,"players":3})"), L"ONLINE / 3 / 16 PLAYERS / 30 HZ");
    EXPECT_EQ(MatchStatusLine(R"({"online": true})"), L"ONLINE / 0 / 16 PLAYERS / 30 HZ");
    EXPECT_TRUE(StatusReplyOnline("{\"online\" :\t true}"));
    EXPECT_TRUE(StatusReplyOnline("{\"mode\":\"online\",\"online\":true}"));
    EXPECT_FALSE(StatusReplyOnline(R"({"online":false,"players":3})"));
    EXPECT_FALSE(StatusReplyOnline(R"({"online":"true"})"));
    EXPECT_FALSE(StatusReplyOnline(R"({"online" true})"));
    EXPECT_FALSE(StatusReplyOnline(R"({"online":)"));
    EXPECT_EQ(MatchStatusLine(""), L"OFFLINE / STATUS UNAVAILABLE");
    EXPECT_EQ(MatchStatusLine(R"({"online":tru)"), L"OFFLINE / STATUS UNAVAILABLE");
}

TEST(CommandSuffix, ReadsLikeStoiThenClamps) {
    int v = -1;
    EXPECT_TRUE(CommandNumber("5", 6, v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(CommandNumber("9", 6, v));
    EXPECT_EQ(v, 6);
    EXPECT_TRUE(CommandNumber("-3", 6, v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(CommandNumber(" +2x", 6, v));
    EXPECT_EQ(v, 2);
    EXPECT_TRUE(CommandNumber("99999999999999999999", 300, v));
    EXPECT_EQ(v, 300);
    EXPECT_FALSE(CommandNumber("x", 6, v));
    EXPECT_FALSE(CommandNumber("", 6, v));
    EXPECT_FALSE(CommandNumber("-", 6, v));
}

TEST(GameplayConfigSearch, FindsTheFileUpToSevenLevelsAboveTheExecutable) {
    testing::TempFolder temp;
    std::filesystem::path exe = temp.Path();
    for (int i = 0; i < 9; ++i) exe /= L"d" + std::to_wstring(i);
    std::filesystem::create_directories(exe);
    EXPECT_TRUE(FindGameplayConfigFile(exe).empty());

    // Eight levels up: out of reach.
    std::filesystem::path eight = exe;
    for (int i = 0; i < 8; ++i) eight = eight.parent_path();
    testing::WriteBytes(eight / "config" / "gameplay.prototype.cfg", "bot_count=2\n");
    EXPECT_TRUE(FindGameplayConfigFile(exe).empty());

    std::filesystem::path seven = exe;
    for (int i = 0; i < 7; ++i) seven = seven.parent_path();
    testing::WriteBytes(seven / "config" / "gameplay.prototype.cfg", "bot_count=3\n");
    EXPECT_EQ(FindGameplayConfigFile(exe), seven / "config" / "gameplay.prototype.cfg");

    testing::WriteBytes(exe.parent_path() / "config" / "gameplay.prototype.cfg", "bot_count=4\n");
    EXPECT_EQ(FindGameplayConfigFile(exe), exe.parent_path() / "config" / "gameplay.prototype.cfg");

    testing::WriteBytes(exe / "config" / "gameplay.prototype.cfg", "bot_count=5\n");
    EXPECT_EQ(FindGameplayConfigFile(exe), exe / "config" / "gameplay.prototype.cfg");
}

TEST(InstallRoot, VersionedLayoutOrTheExecutableFolder) {
    testing::TempFolder temp;
    const std::filesystem::path exe = temp.Path() / "versions" / "1.2.3";
    std::filesystem::create_directories(exe);
    EXPECT_EQ(InstallRootFor(exe), exe);
    testing::WriteBytes(temp.Path() / "current.json", "{}");
    EXPECT_EQ(InstallRootFor(exe), temp.Path());

    const std::filesystem::path other = temp.Path() / "Versions" / "1.2.3";
    std::filesystem::create_directories(other);
    EXPECT_EQ(InstallRootFor(other), other);
}

TEST(UiAssets, AbsoluteKeptNearestAncestorWinsElseBesideTheExecutable) {
    testing::TempFolder temp;
    const std::filesystem::path exe = temp.Path() / "build" / "bin";
    std::filesystem::create_directories(exe);
    const std::filesystem::path rel = std::filesystem::path("inventory") / "rifle-preview.png";
    EXPECT_EQ(FindUiAsset(exe, rel), exe / "assets" / "ui" / rel);
    testing::WriteBytes(temp.Path() / "assets" / "ui" / rel, "x");
    EXPECT_EQ(FindUiAsset(exe, rel), temp.Path() / "assets" / "ui" / rel);
    testing::WriteBytes(temp.Path() / "build" / "assets" / "ui" / rel, "y");
    EXPECT_EQ(FindUiAsset(exe, rel), temp.Path() / "build" / "assets" / "ui" / rel);
    const std::filesystem::path absolute = temp.Path() / "elsewhere.png";
    EXPECT_EQ(FindUiAsset(exe, absolute), absolute);

    // Eight folders are searched, the executable's and seven above it; the ninth is not.
    const std::filesystem::path deep = temp.Path() / "1" / "2" / "3" / "4" / "5" / "6" / "7" / "8";
    EXPECT_EQ(FindUiAsset(deep, rel), deep / "assets" / "ui" / rel);
    testing::WriteBytes(temp.Path() / "1" / "assets" / "ui" / rel, "z");
    EXPECT_EQ(FindUiAsset(deep, rel), temp.Path() / "1" / "assets" / "ui" / rel);
}

}  // namespace
}  // namespace tarvo::ui
