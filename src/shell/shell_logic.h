#pragma once
// Decisions of the window and the message loop as plain functions of values, so
// tests check them without a window: the loop's wait, the window rectangle, the
// design-canvas mapping, the hit-region search, the pause-view rows and Escape.
#include <windows.h>
#include <d2d1.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/screen_id.h"
#include "screens/canvas.h"
#include "shell/product_kind.h"

namespace tarvo::ui {

// Milliseconds the loop sleeps for input (INFINITE for none). backgroundPending:
// an account request, the status probe or the identity load is in flight.
DWORD WaitTimeout(ProductKind kind, navigation::ScreenId screen, bool backgroundPending, std::int32_t fpsLimit);

// During play the loop never sleeps past the moment the next frame is due: a frame
// that took part of its period shortens the following wait (at least 1 ms), so the
// frame rate reaches the limit instead of losing up to a period per frame.
DWORD PacedFrameWait(DWORD ruleWait, double secondsSinceLastFrame, double framePeriodSeconds);

// The main window: 0.92 of the work area, at most 1920 x 1080, centred in it.
RECT MainWindowRect(const RECT& workArea);

// The outer rectangle for a windowed client size. `frame` is the outer rectangle of
// a client area of 0 x 0 at the origin (the frame's extent on each side). Larger
// than the work area, the client is scaled down, keeping its proportions, until
// the whole window fits; the window keeps its place unless it would leave the work
// area, and is then moved the least distance back into it.
RECT WindowedRect(const RECT& window, int clientWidth, int clientHeight, const RECT& frame, const RECT& workArea);

// Canvas to client: uniform scale, letterboxed and centred.
struct CanvasTransform {
    float scale = 1.0f;
    D2D1_POINT_2F offset{0.0f, 0.0f};
};
CanvasTransform CanvasTransformFor(float clientWidth, float clientHeight);
D2D1_POINT_2F MapToCanvas(const CanvasTransform& transform, float x, float y);      // client -> canvas
D2D1_POINT_2F MapFromCanvas(const CanvasTransform& transform, float x, float y);    // canvas -> client

// Client coordinates of a mouse message, sign-extended from its low and high words.
POINT PointFromLParam(LPARAM lParam);

// The region under a canvas point: the last appended one containing it, edges
// inclusive; null when none. A region with a NaN coordinate contains nothing.
const HitRegion* FindHitRegion(const std::vector<HitRegion>& regions, D2D1_POINT_2F point);

// Rows of the pause view, tested in client pixels around the client centre.
// Pause menu: 0 resume, 1 restart / arsenal, 2 settings, 3 leave; -1 none.
int PauseMenuRowAt(int clientWidth, int clientHeight, int x, int y);
// Pause menu row 0..3 in client pixels as every painter draws it, where PauseMenuRowAt finds it.
D2D_RECT_F PauseMenuRow(float clientWidth, float clientHeight, int row);
// Arsenal panel: item 0..2, -1 none.
int ArsenalRowAt(int clientWidth, int clientHeight, int x, int y);

// What Escape does outside play.
enum class EscapeAction {
    None,
    ToMainMenu,
    ToLogin,
    ToPrivacyReturn,   // the screen that opened the privacy page
    ToPausedMatch,     // back to the pause view of the running match
    ToOstrelOverview,
};
EscapeAction DecideEscape(ProductKind kind, navigation::ScreenId current, navigation::ScreenId settingsReturn,
                          bool simulationExists);

// The match-status reply: online when "online" is followed by optional blanks, a
// colon, optional blanks and true.
bool StatusReplyOnline(std::string_view reply);
// "ONLINE / <players> / 16 PLAYERS / 30 HZ" or "OFFLINE / STATUS UNAVAILABLE".
std::wstring MatchStatusLine(std::string_view reply);

// Decimal value of a command's numeric suffix as std::stoi reads it (leading white
// space, optional sign, digits), then negative values to 0 and limited to max.
// False when no number can be read.
bool CommandNumber(std::string_view suffix, int max, int& value);

// gameplay.prototype.cfg in the "config" folder of the executable folder or of one
// of its ancestors, eight folders in all; empty when none holds it.
std::filesystem::path FindGameplayConfigFile(const std::filesystem::path& executableDirectory);

// The install root for an executable folder: the folder above "versions" when that
// holds current.json, else the executable folder itself.
std::filesystem::path InstallRootFor(const std::filesystem::path& executableDirectory);

// rel unchanged when absolute; else the first existing <dir>/assets/ui/<rel> from the
// executable folder and its seven nearest ancestors; else <exe dir>/assets/ui/<rel>.
std::filesystem::path FindUiAsset(const std::filesystem::path& executableDirectory, const std::filesystem::path& rel);

// The avatar image as an absolute path when it lies inside the profile folder, the only place
// the program puts avatars; empty otherwise. A profile file may name any file on the machine
// (absolute elsewhere, or climbing out with ".."): such a file is neither drawn nor uploaded.
std::filesystem::path AvatarInsideProfile(const std::filesystem::path& image, const std::filesystem::path& profileFolder);

}  // namespace tarvo::ui
