#include "shell/shell_logic.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>

#include "presentation/hud_panels.h"
#include "shell/account_replies.h"

namespace tarvo::ui {

using navigation::ScreenId;

DWORD WaitTimeout(ProductKind kind, ScreenId screen, bool backgroundPending, std::int32_t fpsLimit) {
    if (backgroundPending || screen == ScreenId::Pause) return 33;
    if (screen == ScreenId::Gameplay) {
        const unsigned rate = fpsLimit >= 31 ? static_cast<unsigned>(fpsLimit) : 30u;
        const unsigned wait = 1000u / rate;
        return wait == 0 ? 1 : wait;
    }
    if (kind == ProductKind::Game && screen == ScreenId::Splash) return 50;
    return INFINITE;
}

DWORD PacedFrameWait(DWORD ruleWait, double secondsSinceLastFrame, double framePeriodSeconds) {
    const double remainingMs = (framePeriodSeconds - secondsSinceLastFrame) * 1000.0;
    if (!(remainingMs >= 1.0)) return 1;  // due, overdue or not a number
    const double wait = std::ceil(remainingMs);
    return wait < static_cast<double>(ruleWait) ? static_cast<DWORD>(wait) : ruleWait;
}

RECT MainWindowRect(const RECT& workArea) {
    const long width = workArea.right - workArea.left;
    const long height = workArea.bottom - workArea.top;
    const long w = std::min(static_cast<long>(width * 0.92), 1920L);
    const long h = std::min(static_cast<long>(height * 0.92), 1080L);
    RECT r;
    r.left = workArea.left + (width - w) / 2;
    r.top = workArea.top + (height - h) / 2;
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

RECT WindowedRect(const RECT& window, int clientWidth, int clientHeight, const RECT& frame, const RECT& workArea) {
    const long frameWidth = frame.right - frame.left;
    const long frameHeight = frame.bottom - frame.top;
    const long roomWidth = std::max(workArea.right - workArea.left - frameWidth, 1L);
    const long roomHeight = std::max(workArea.bottom - workArea.top - frameHeight, 1L);
    long w = std::max(clientWidth, 1);
    long h = std::max(clientHeight, 1);
    if (w > roomWidth || h > roomHeight) {
        const double scale = std::min(static_cast<double>(roomWidth) / w, static_cast<double>(roomHeight) / h);
        w = std::max(static_cast<long>(w * scale), 1L);
        h = std::max(static_cast<long>(h * scale), 1L);
    }
    const long outerWidth = w + frameWidth;
    const long outerHeight = h + frameHeight;
    RECT r;
    r.left = std::max(std::min(window.left, workArea.right - outerWidth), workArea.left);
    r.top = std::max(std::min(window.top, workArea.bottom - outerHeight), workArea.top);
    r.right = r.left + outerWidth;
    r.bottom = r.top + outerHeight;
    return r;
}

CanvasTransform CanvasTransformFor(float clientWidth, float clientHeight) {
    CanvasTransform t;
    t.scale = std::min(clientWidth / kCanvasWidth, clientHeight / kCanvasHeight);
    t.offset.x = (clientWidth - kCanvasWidth * t.scale) / 2.0f;
    t.offset.y = (clientHeight - kCanvasHeight * t.scale) / 2.0f;
    return t;
}

D2D1_POINT_2F MapToCanvas(const CanvasTransform& t, float x, float y) {
    return D2D1_POINT_2F{(x - t.offset.x) / t.scale, (y - t.offset.y) / t.scale};
}

D2D1_POINT_2F MapFromCanvas(const CanvasTransform& t, float x, float y) {
    return D2D1_POINT_2F{x * t.scale + t.offset.x, y * t.scale + t.offset.y};
}

POINT PointFromLParam(LPARAM lParam) {
    POINT p;
    p.x = static_cast<short>(static_cast<WORD>(lParam & 0xFFFF));
    p.y = static_cast<short>(static_cast<WORD>((lParam >> 16) & 0xFFFF));
    return p;
}

const HitRegion* FindHitRegion(const std::vector<HitRegion>& regions, D2D1_POINT_2F p) {
    for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
        const D2D_RECT_F& r = it->rect;
        // Comparisons with NaN are false, so such a region never contains a point.
        if (r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom) return &*it;
    }
    return nullptr;
}

namespace {
D2D_RECT_F Box(const presentation::MatchHudRect& r) { return D2D1::RectF(r.x, r.y, r.x + r.width, r.y + r.height); }
bool Inside(const D2D_RECT_F& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}
}  // namespace

D2D_RECT_F PauseMenuRow(float clientWidth, float clientHeight, int row) {
    return Box(presentation::PauseMenuRow(clientWidth, clientHeight, row));
}

int PauseMenuRowAt(int clientWidth, int clientHeight, int x, int y) {
    for (int i = 0; i < 4; ++i) {
        if (Inside(PauseMenuRow(static_cast<float>(clientWidth), static_cast<float>(clientHeight), i), x, y)) return i;
    }
    return -1;
}

int ArsenalRowAt(int clientWidth, int clientHeight, int x, int y) {
    for (int i = 0; i < 3; ++i) {
        const presentation::MatchHudRect row =
            presentation::ArsenalRow(static_cast<float>(clientWidth), static_cast<float>(clientHeight), i);
        if (Inside(Box(row), x, y)) return i;
    }
    return -1;
}

EscapeAction DecideEscape(ProductKind kind, ScreenId current, ScreenId settingsReturn, bool simulationExists) {
    if (kind == ProductKind::OstrelNode) {
        return current == ScreenId::OstrelGate ? EscapeAction::None : EscapeAction::ToOstrelOverview;
    }
    switch (current) {
        case ScreenId::Login:
        case ScreenId::MainMenu:
            return EscapeAction::None;
        case ScreenId::Settings:
            if (settingsReturn == ScreenId::Pause && simulationExists) return EscapeAction::ToPausedMatch;
            return EscapeAction::ToMainMenu;
        case ScreenId::Privacy:
            return EscapeAction::ToPrivacyReturn;
        case ScreenId::VerifyEmail:
        case ScreenId::VerifyDevice:
        case ScreenId::ForgotPassword:
        case ScreenId::ResetPassword:
            return EscapeAction::ToLogin;
        default:
            return EscapeAction::ToMainMenu;
    }
}

bool StatusReplyOnline(std::string_view reply) {
    constexpr std::string_view needle = "\"online\"";
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (size_t at = reply.find(needle); at != std::string_view::npos; at = reply.find(needle, at + 1)) {
        size_t i = at + needle.size();
        while (i < reply.size() && blank(reply[i])) ++i;
        if (i >= reply.size() || reply[i] != ':') continue;
        ++i;
        while (i < reply.size() && blank(reply[i])) ++i;
        if (reply.substr(i, 4) == "true") return true;
    }
    return false;
}

std::wstring MatchStatusLine(std::string_view reply) {
    if (!StatusReplyOnline(reply)) return L"OFFLINE / STATUS UNAVAILABLE";
    return L"ONLINE / " + std::to_wstring(JsonUnsigned(reply, "players")) + L" / 16 PLAYERS / 30 HZ";
}

bool CommandNumber(std::string_view suffix, int max, int& value) {
    size_t i = 0;
    while (i < suffix.size() && (suffix[i] == ' ' || (suffix[i] >= '\t' && suffix[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < suffix.size() && (suffix[i] == '+' || suffix[i] == '-')) {
        negative = suffix[i] == '-';
        ++i;
    }
    if (i >= suffix.size() || suffix[i] < '0' || suffix[i] > '9') return false;
    long long n = 0;
    for (; i < suffix.size() && suffix[i] >= '0' && suffix[i] <= '9'; ++i) {
        n = std::min<long long>(n * 10 + (suffix[i] - '0'), std::numeric_limits<int>::max());
    }
    if (negative || n <= 0) {
        value = 0;
    } else {
        value = static_cast<int>(std::min<long long>(n, max));
    }
    return true;
}

std::filesystem::path FindGameplayConfigFile(const std::filesystem::path& executableDirectory) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path first = executableDirectory / "config" / "gameplay.prototype.cfg";
    if (fs::exists(first, ec)) return first;
    fs::path dir = executableDirectory;
    for (int examined = 0; examined < 8 && !dir.empty(); ++examined) {
        const fs::path candidate = dir / "config" / "gameplay.prototype.cfg";
        if (fs::exists(candidate, ec)) return candidate;
        const fs::path parent = dir.parent_path();
        if (parent == dir) break;
        dir = parent;
    }
    return {};
}

std::filesystem::path InstallRootFor(const std::filesystem::path& executableDirectory) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path parent = executableDirectory.parent_path();
    const fs::path grand = parent.parent_path();
    if (parent.filename() == L"versions" && fs::exists(grand / "current.json", ec)) return grand;
    return executableDirectory;
}

std::filesystem::path FindUiAsset(const std::filesystem::path& executableDirectory, const std::filesystem::path& rel) {
    namespace fs = std::filesystem;
    if (rel.is_absolute()) return rel;
    std::error_code ec;
    fs::path dir = executableDirectory;
    // The executable's folder and its seven nearest ancestors, no higher: a folder far up
    // (a user's home or a drive's root) must not supply the images.
    for (int examined = 0; examined < 8 && !dir.empty(); ++examined) {
        const fs::path candidate = dir / "assets" / "ui" / rel;
        if (fs::exists(candidate, ec)) return candidate;
        const fs::path parent = dir.parent_path();
        if (parent == dir) break;
        dir = parent;
    }
    return executableDirectory / "assets" / "ui" / rel;
}

std::filesystem::path AvatarInsideProfile(const std::filesystem::path& image, const std::filesystem::path& profileFolder) {
    namespace fs = std::filesystem;
    if (image.empty() || profileFolder.empty()) return {};
    std::error_code ec;
    const fs::path folder = fs::absolute(profileFolder, ec).lexically_normal();
    if (ec) return {};
    const fs::path file = fs::absolute(image, ec).lexically_normal();
    if (ec) return {};
    // Windows names compare without regard to case; after normalising no ".." is left to climb out.
    auto same = [](const fs::path& a, const fs::path& b) {
        const std::wstring& x = a.native();
        const std::wstring& y = b.native();
        return x.size() < 0x7FFFFFFF && y.size() < 0x7FFFFFFF &&
               CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()), TRUE) ==
                   CSTR_EQUAL;
    };
    auto inFile = file.begin();
    for (const fs::path& part : folder) {
        if (part.empty()) continue;  // the empty last part of a folder path ending in a separator
        if (inFile == file.end() || !same(part, *inFile)) return {};
        ++inFile;
    }
    // Something must remain below the folder.
    for (; inFile != file.end(); ++inFile) {
        if (!inFile->empty()) return file;
    }
    return {};
}

}  // namespace tarvo::ui
