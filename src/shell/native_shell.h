#pragma once
// The one shell object of the process. It owns every long-lived service, the live
// simulation and render backend, the background requests, the screen and text-field
// state and the preferences. Members are declared in construction order (they are
// destroyed in reverse). Its member functions are split by concern over the files
// of src/shell and src/screens; each group below names its file.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "account/account_api_client.h"
#include "account/server_session.h"
#include "audio/native_weapon_audio.h"
#include "auth/device_credential_store.h"
#include "auth/local_prototype_auth_provider.h"
#include "auth/mock_providers.h"
#include "contracts/backend_client.h"
#include "core/startup_coordinator.h"
#include "distribution/test_metrics.h"
#include "gameplay/gameplay_config.h"
#include "localization/localization.h"
#include "navigation/navigation_router.h"
#include "navigation/screen_id.h"
#include "online/match_client.h"
#include "player/local_player_data.h"
#include "player/local_player_data_store.h"
#include "release_control/release_control_client.h"
#include "releases/release_notes.h"
#include "renderer/graphics_diagnostics.h"
#include "renderer/render_backend.h"
#include "renderer/renderer_selection.h"
#include "screens/canvas.h"
#include "screens/text_editing.h"
#include "shell/account_replies.h"
#include "shell/product_kind.h"

namespace tarvo::gameplay {
class TrainingSimulation;
}

namespace tarvo::ui {

struct GamePreferences;

// Base URL of the account service; tests hand the shell their own.
inline constexpr std::wstring_view kAccountServiceBaseUrl = L"https://account.tarvonix.net/api/v1";
// Default mail domain of the owner console's backend form.
inline constexpr std::wstring_view kDefaultMailDomain = L"tarvonix.net";

inline constexpr wchar_t kGameWindowClass[] = L"TarvonixVolleyNativeWindow";
inline constexpr wchar_t kOstrelWindowClass[] = L"TarvonixOstrelNodeNativeWindow";
inline constexpr wchar_t kRenderViewClass[] = L"TarvonixVolleyRenderView";
inline constexpr UINT_PTR kAnimationTimerId = 1;
inline constexpr UINT kAnimationTimerPeriodMs = 33;

// The whole life of the process for one product: log, COM apartment, shell, loop.
// Returns the process exit code.
int RunNativeProduct(HINSTANCE instance, int showCommand, ProductKind kind);
// The same with the account client pointed elsewhere (local test runs).
int RunNativeProduct(HINSTANCE instance, int showCommand, ProductKind kind, std::wstring accountServiceUrl);

// True under Wine (ntdll exports wine_get_version): the render view is then a popup.
bool RenderViewIsPopup();

class NativeShell {
public:
    using Clock = std::chrono::steady_clock;
    template <typename T>
    using ComPtr = Microsoft::WRL::ComPtr<T>;

    // composition_root.cpp
    NativeShell(HINSTANCE instance, ProductKind kind, std::wstring accountServiceUrl = std::wstring(kAccountServiceBaseUrl));
    ~NativeShell();  // stops play, drops device resources, formats and factories, then the members
    NativeShell(const NativeShell&) = delete;
    NativeShell& operator=(const NativeShell&) = delete;
    NativeShell(NativeShell&&) = delete;
    NativeShell& operator=(NativeShell&&) = delete;

    // ---- Window and graphics ------------------------------------------------------
    HINSTANCE instance = nullptr;
    HWND window = nullptr;      // the main window, set at WM_NCCREATE
    HWND renderView = nullptr;  // the window the 3D backend draws into during play (render_view.cpp)
    ProductKind productKind = ProductKind::Game;
    ComPtr<ID2D1Factory> d2dFactory;
    ComPtr<IDWriteFactory> dwriteFactory;
    ComPtr<IWICImagingFactory> wicFactory;
    // What the screens draw on: the main window's target (created at paint), or in
    // tests any Direct2D target such as one over a WIC bitmap.
    ComPtr<ID2D1RenderTarget> renderTarget;
    ComPtr<ID2D1HwndRenderTarget> windowRenderTarget;  // the same target when it is the window's (for resizing)
    ComPtr<ID2D1SolidColorBrush> brush;  // the one brush, recoloured before each use
    ComPtr<IDWriteTextFormat> displayFormat;  // Bahnschrift 600, 68 (without it a narrow stand-in)
    ComPtr<IDWriteTextFormat> titleFormat;    // Bahnschrift 600, 52 (likewise)
    ComPtr<IDWriteTextFormat> headingFormat;  // Bahnschrift 600, 23 (likewise)
    ComPtr<IDWriteTextFormat> bodyFormat;     // Segoe UI 400, 18
    ComPtr<IDWriteTextFormat> captionFormat;  // Segoe UI 600, 11

    // ---- Services (constructed in this order) -------------------------------------
    navigation::NavigationRouter router;
    core::StartupCoordinator startup;
    localization::Localization localization;
    auth::LocalPrototypeAuthProvider localAuth;
    account::AccountApiClient accountApi;
    account::ServerSessionStore sessionStore;
    auth::MockEmailVerificationProvider emailVerification;
    auth::DpapiDeviceCredentialStore deviceCredentials;
    auth::MockSessionProvider sessionProvider;
    releases::LocalReleaseNotesProvider releaseNotes;
    player::LocalPlayerDataStore playerStore;
    player::LocalPlayerData playerData;  // "LOCAL" / "LOCAL_OPERATOR" until an account is active
    bool playerDataRead = false;  // playerData came from the store; until then it is never saved over it
    audio::NativeWeaponAudio weaponAudio;
    contracts::MockBackendClient backendClient;
    gameplay::GameplayConfig gameplayConfig;

    // ---- Play ---------------------------------------------------------------------
    std::unique_ptr<gameplay::TrainingSimulation> simulation;  // only during a session
    online::MatchClient matchClient;
    // The online test settings of "match.start" and "match.status"; empty: config/online-test.cfg
    // beside the executable. Tests name their own.
    std::filesystem::path onlineTestConfig;
    bool onlineMatch = false;
    bool fireRequested = false;
    bool reloadRequested = false;
    bool shopOpen = false;  // the online arsenal panel
    std::int32_t predictedShots = 0;
    std::int32_t trackedWeapon = -1;
    std::uint32_t serverShotCount = 0;
    std::uint32_t serverResetCount = 0;
    Clock::time_point nextShotAt{};
    Clock::time_point nextEmptyClickAt{};
    Clock::time_point reloadReadyAt{};
    std::unordered_map<int, unsigned> remoteShotCounts;  // last shot count per remote player id

    // ---- Background requests ------------------------------------------------------
    std::optional<std::future<online::MatchIdentity>> identityLoad;  // pending while engaged
    std::wstring identityAccountKey;                                  // key the last load was started for
    std::optional<std::future<std::string>> statusProbe;              // pending match-status request
    std::wstring matchStatusText = L"NOT CHECKED";

    // ---- Rendering state ----------------------------------------------------------
    std::unique_ptr<renderer::IRenderBackend> renderBackend;
    renderer::GraphicsDiagnostics graphicsDiagnostics;       // shown by the graphics compatibility screen
    renderer::GraphicsSystemDiagnostics graphicsSelection;  // the last backend selection

    // ---- Screen and input state ---------------------------------------------------
    std::vector<HitRegion> hitRegions;  // rebuilt by every paint, in drawing order
    std::vector<DrawnText>* drawnTexts = nullptr;  // when set (tests), DrawTextIn appends every text it draws
    std::unordered_map<std::string, std::wstring> fieldValues;
    std::unordered_map<std::string, std::wstring> fieldErrors;
    std::unordered_map<std::string, bool> revealedFields;
    std::map<std::filesystem::path, ComPtr<ID2D1Bitmap>> bitmapCache;  // decoded images by resolved path
    std::string hoverCommand;
    std::string focusedField;
    size_t caret = 0;
    size_t selectionAnchor = 0;
    bool registerTab = false;
    bool rememberDevice = true;
    bool acceptPolicy = false;
    bool fullscreen = false;
    bool vsync = true;
    bool fireHeld = false;
    renderer::RenderBackendKind rendererPreference = renderer::RenderBackendKind::Auto;
    std::uint32_t quality = 1;  // 0 LOW, 1 MEDIUM, 2 HIGH
    bool autoDownload = true;
    bool installOnExit = true;
    bool menuOpen = false;
    bool cursorCaptured = false;
    bool aimHeld = false;
    bool showPerformance = false;
    float adsBlend = 0.0f;
    std::int32_t fpsLimit = 144;
    float masterVolume = 0.7f;

    // ---- Selections ---------------------------------------------------------------
    std::int32_t selectedMode = 6;
    std::int32_t selectedMap = 0;
    std::int32_t settingsCategory = 0;
    std::int32_t inventoryTab = 0;
    std::int32_t statisticsView = 0;  // 0 local, 1 online
    std::int32_t expandedRelease = 0;
    std::int32_t announcementTarget = 0;

    // ---- Status texts and the account ---------------------------------------------
    std::wstring toast;  // the status box at the bottom right of every shell screen
    std::wstring challengeId;
    std::wstring maskedEmail;
    std::wstring reservedStatusText;  // kept for the record layout; nothing reads it
    std::wstring accountStatusText;
    std::string accountRequestName;
    std::optional<std::future<account::AccountResponse>> accountRequest;  // at most one in flight
    std::optional<account::ServerSession> serverSession;  // engaged exactly while signed in
    std::optional<player::LocalPlayerData> linkSourceProfile;
    bool linkPending = false;
    player::BotStats botStatsAtStart{};

    // Owner console texts and figures (the owner console fills and shows them).
    std::wstring releaseStatusText = L"NOT CHECKED";
    std::wstring releaseMessageText = L"Press CHECK to validate the single staged release.";
    std::wstring backendStatusText = L"NOT INITIALIZED";
    std::wstring metricsStatusText = L"NOT SYNCED";
    std::wstring playersStatusText = L"NOT SYNCED";
    std::wstring announcementStatusText = L"NOT SYNCED";
    std::wstring backendConfigStatusText = L"NOT CONFIGURED";
    std::wstring backendConfigHintText = L"Enter TEST credentials, test, save, then initialize.";
    std::wstring ownerKeyText;
    std::wstring lastCommandText;
    std::int64_t overviewPlayers = 0;
    std::int64_t overviewMatches = 0;
    std::int64_t overviewDownloads = 0;
    std::int64_t overviewRevenue = 0;

    std::vector<LivePlayerRow> livePlayers;
    std::vector<ServerDeviceRow> trustedDevices;

    // Further owner console state.
    std::int32_t selectedLivePlayer = 0;
    std::int64_t livePlayersFetchedAt = 0;
    std::wstring ostrelNotice;
    std::wstring ostrelSyncText = L"ЩЕ НЕ СИНХРОНІЗОВАНО";
    bool ostrelBusy = false;
    // Where the owner console's commands go; tests point them at local services.
    std::wstring releaseControlUrl = std::wstring(release_control::kDefaultReleaseControlUrl);
    std::wstring testMetricsUrl = std::wstring(distribution::kTestMetricsUrl);
    distribution::TestMetricsSnapshot testMetrics;  // the last "metrics.refresh" that succeeded

    std::optional<auth::LocalAccountRecord> accountRecord;  // engaged while an account is signed in

    // ---- Timing and canvas --------------------------------------------------------
    // What every pace, schedule and timer of the shell and its match client reads; empty
    // means the steady clock. Tests hold their own. Waits on real threads (the exit's
    // grace) read the steady clock.
    std::function<Clock::time_point()> clock;
    Clock::time_point Now() const { return clock ? clock() : Clock::now(); }
    Clock::time_point screenEnteredAt;
    Clock::time_point lastFrameAt;
    Clock::time_point fpsWindowStart;
    std::uint32_t fpsWindowFrames = 0;
    float measuredFps = 0.0f;
    float frameTimeMs = 0.0f;
    float hitMarker = 0.0f;
    float killConfirm = 0.0f;
    float muzzleFlash = 0.0f;
    float damageFlash = 0.0f;
    float lastHealth = 100.0f;
    Clock::time_point sessionStart;
    Clock::time_point windowCreatedAt;  // the splash animates from it
    bool animationTimerArmed = false;
    bool splashTickLogged = false;
    float canvasScale = 1.0f;
    D2D1_POINT_2F canvasOffset{0.0f, 0.0f};
    D2D1_POINT_2F lastClickPoint{0.0f, 0.0f};
    navigation::ScreenId privacyReturnScreen = navigation::ScreenId::MainMenu;
    navigation::ScreenId settingsReturnScreen = navigation::ScreenId::MainMenu;
    WINDOWPLACEMENT windowedPlacement{};
    CharacterComposer typedCharacters;  // joins the two WM_CHAR halves of a supplementary character
    // Chooses the avatar image for "profile.avatar"; empty runs the system open-file
    // dialog. Tests put a function here that returns their own path (nullopt: cancelled).
    std::function<std::optional<std::filesystem::path>()> pickAvatarFile;

    // ---- Run and the message loop (message_loop.cpp) -------------------------------
    int Run(int showCommand);  // 2, 3, 4 or the WM_QUIT value
    HRESULT CreateGraphicsFactories();
    bool RegisterWindowClasses();
    bool CreateMainWindow();
    int RunMessageLoop();
    DWORD CurrentWaitTimeout() const;
    void PumpMatchStatus();
    void PumpMatchIdentity();
    void StartCoinProfileLoad();
    void CancelBackgroundRequests();  // at exit: ends every pending request but the session's statistics
    void AwaitExitSubmission();       // at exit: waits for the session's statistics to their deadline and logs them

    // ---- Preference files -------------------------------------------------------
    void ReadPreferenceFiles();                     // preference_loading.cpp: updates.json, then game.json
    std::filesystem::path GameSettingsPath() const;    // preference_files.cpp
    std::filesystem::path UpdateSettingsPath() const;  // preference_files.cpp
    void SaveGamePreferences();                        // preference_files.cpp
    GamePreferences CurrentGamePreferences() const;    // preference_files.cpp: what game.json would hold now
    void SaveUpdatePreferences();                      // preference_files.cpp

    // ---- Launcher hand-off and paths (launcher_handoff.cpp) -----------------------
    static std::filesystem::path ExecutableDirectory();
    static std::filesystem::path DiscoverAsset(const std::filesystem::path& rel);
    static std::filesystem::path DistributionInstallRoot();
    bool OpenDistributionLauncher();
    bool RepairDistributionShortcuts();
    void RunBootstrapMigration();

    // ---- The render view (render_view.cpp) ------------------------------------------
    // A child of the main window, or under Wine an owned popup over its client area.
    static LRESULT CALLBACK RenderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateRenderView();  // visible, covering the client area; null on failure
    // Moves the view over the client area, on top and never activated; `show` also
    // shows it. A popup view waits hidden while the main window is minimised.
    void PlaceRenderView(bool show);
    // A popup view is hidden while the program is inactive and back when it is active in play.
    void KeepRenderViewWithApp(bool active, bool inPlay);
    // On Pause with the view hidden (a popup while the program is inactive) the main
    // window paints the pause panel itself, in client pixels. Returns the EndDraw result.
    bool PauseShownByMainWindow() const;
    HRESULT PaintPausePanel(float clientWidth, float clientHeight);

    // ---- Window procedure (window_proc.cpp) ----------------------------------------
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnPaint();
    // Steps of the shell paint after the target exists: mapping, regions, backdrop,
    // screen, status box. Returns the EndDraw result.
    HRESULT PaintCanvas(float clientWidth, float clientHeight);
    void OnSize(UINT clientWidth, UINT clientHeight);
    void OnTimer(UINT_PTR id);
    void OnActivateApp(bool active);
    void OnDestroy();
    void ArmAnimationTimer();
    void StopAnimationTimer();

    // ---- Keyboard and raw input (input.cpp) ---------------------------------------
    void OnKeyDown(unsigned virtualKey);
    void OnPlayKey(unsigned virtualKey);
    void OnFieldKey(unsigned virtualKey);
    void OnChar(wchar_t unit);
    void OnRawInput(HRAWINPUT input);
    void OnEscape();
    void PasteFromClipboard();
    static bool RuntimeQaKeysEnabled();

    // ---- Hit regions and click routing (click_routing.cpp) -------------------------
    D2D1_POINT_2F CanvasPoint(int x, int y) const;
    void OnClick(int x, int y);
    void OnMouseMove(int x, int y);
    void OnPauseClick(int x, int y);
    size_t CaretFromClick(const HitRegion& region, D2D1_POINT_2F point);

    // ---- Navigation and the splash (navigation.cpp) --------------------------------
    void Navigate(navigation::ScreenId id);
    void PumpSplashTransition();

    // ---- Command dispatcher (dispatcher.cpp) ---------------------------------------
    // Every clicked command lands here. Each family's handler returns true when the
    // command is one of its own; unknown commands are ignored.
    void Dispatch(const std::string& command);
    void Repaint();
    // Rules matched by Dispatch itself: "reveal.field.*", "field.*" and the sign-in
    // form's "auth.login.tab", "auth.register.tab", "auth.remember", "auth.policy".
    bool HandleNavigationCommand(const std::string& command);  // nav.*, app.exit, ostrel.* pages, auth.forgot,
                                                               // auth.devices, auth.migration.done
    bool HandleAccountCommand(const std::string& command);     // auth.* requests and sign-out
    bool HandlePlayCommand(const std::string& command);        // mode., map., training.start
    bool HandleOnlineCommand(const std::string& command);      // match.start, match.unavailable, match.status
    bool HandleSettingsCommand(const std::string& command);    // settings, display, renderer, graphics.*, updates.*
    bool HandlePlayerCommand(const std::string& command);      // profile.avatar*, stats.*, inventory.tab.
    bool HandleOwnerConsoleCommand(const std::string& command);  // metrics., release., backend., announcement., players.
    std::string SettingsSyncJson() const;  // the one-line settings text sent when leaving Settings

    // ---- Account requests and the profile ------------------------------------------
    void BeginAccountRequest(std::string name, std::future<account::AccountResponse> request);
    void PumpAccountRequest();
    void LoadPlayerData();  // player_profile.cpp
    void SavePlayerData();  // player_profile.cpp
    bool ChooseAvatar();

    // ---- Gameplay session ---------------------------------------------------------
    bool StartGameplay();
    // Runs the backend selection for the preference and logs it; false (the graphics
    // page shown) when nothing usable was found.
    bool SelectRenderer();
    // Makes the selected backend ready in its view: a ready one of that kind is reused,
    // otherwise both are built, Vulkan falling back to Direct3D 11. On false the failure
    // is shown and logged and no view is left; the caller ends its session.
    bool StartRenderBackend();
    void StopGameplay(bool returnToMenu);
    void PumpGameplayFrame();
    void FireWeapon();
    void ReconcileWeaponAudio(int magazineBefore);
    void FlushGameplayEvents();
    void CaptureGameplayCursor();
    void ReleaseGameplayCursor();
    void ReturnToPause();

    // ---- Window modes, clipboard, device resources (window_modes.cpp) --------------
    void ApplyFullscreen(bool on);
    void ApplyWindowedResolution(int width, int height);
    bool CopyTextToClipboard(std::wstring_view text);
    void DiscardDeviceResources();

    // ---- Text editing of the focused field (screens/field_editing.cpp) -------------
    void InsertText(std::wstring text);
    void DeleteSelection();
    void MoveCaret(size_t position, bool extend);
    void CopySelectionToClipboard(bool cut);

    // ---- Widgets (screens/widgets.cpp) ----------------------------------------------
    void TopBrand(std::wstring_view subtitle);
    void Button(D2D_RECT_F rect, std::wstring_view label, const std::string& command, bool primary, bool danger);
    void TextField(D2D_RECT_F rect, std::wstring_view label, const std::string& key, bool password);
    void Checkbox(float x, float y, std::wstring_view label, const std::string& command, bool checked);
    bool DrawImage(const std::filesystem::path& asset, D2D_RECT_F rect, float opacity);

    // ---- Drawing primitives shared by the screens (screens/draw_primitives.cpp) ----
    std::wstring_view Pick(std::wstring_view ukrainian, std::wstring_view english) const;  // by the current locale
    void DrawTextIn(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                    DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING,
                    DWRITE_PARAGRAPH_ALIGNMENT paragraph = DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    void FillRect(D2D_RECT_F rect, D2D1_COLOR_F color);
    void FillRounded(D2D_RECT_F rect, float radius, D2D1_COLOR_F color);
    void StrokeRounded(D2D_RECT_F rect, float radius, D2D1_COLOR_F color, float width);
    void DrawLine(D2D1_POINT_2F from, D2D1_POINT_2F to, D2D1_COLOR_F color, float width);
    void AddRegion(D2D_RECT_F rect, std::string command);
    void Card(D2D_RECT_F rect);  // radius 16, SurfaceRaised fill, Border outline

    // ---- Screens (one file each under src/screens) ---------------------------------
    void DrawBackdrop();    // game_frame.cpp: grid, top bar, diagonal strokes
    void DrawGame();        // game_frame.cpp: the game client's current screen and footer
    void DrawFooter();      // game_frame.cpp
    void DrawStatusBox();   // game_frame.cpp: the toast
    void DrawSplash();      // splash_screen.cpp
    void DrawLogin();
    void DrawVerifyEmail();
    void DrawVerifyDevice();
    void DrawForgotPassword();
    void DrawResetPassword();
    void DrawLinkAccount();
    void DrawLinkComplete();
    void DrawDevices();
    void DrawMainMenu();
    void DrawPlay();
    void DrawMatchmaking();
    void DrawInventory();
    void DrawProfile();
    void DrawStatistics();
    void DrawSettings();
    void DrawUpdates();
    void DrawPrivacy();
    void DrawGraphicsCompatibility();

    // ---- Owner console (src/owner_console) -----------------------------------------
    void DrawOstrelGate();   // screen 21, its one button "ostrel.unlock"
    void DrawOstrelShell();  // the frame and current page of screens 22..35
};

}  // namespace tarvo::ui
