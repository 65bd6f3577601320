// The process's one road: log, COM apartment, the shell object, its run, teardown.
#include <objbase.h>

#include <utility>

#include "common/file_utils.h"
#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {
namespace {

gameplay::GameplayConfig LoadGameplayConfigNearExecutable() {
    try {
        const std::filesystem::path file = FindGameplayConfigFile(distribution::ExecutableDirectory());
        if (!file.empty()) return gameplay::GameplayConfig::Load(file);
    } catch (...) {
        // No executable folder and no working directory: the defaults stand.
    }
    return gameplay::GameplayConfig{};
}

}  // namespace

NativeShell::NativeShell(HINSTANCE instanceHandle, ProductKind kind, std::wstring accountServiceUrl)
    : instance(instanceHandle),
      productKind(kind),
      router(kind == ProductKind::OstrelNode ? navigation::ScreenId::OstrelGate : navigation::ScreenId::Splash),
      startup(std::chrono::milliseconds(1200), std::chrono::milliseconds(3000)),
      localAuth(std::filesystem::path{}),
      accountApi(std::move(accountServiceUrl)),
      sessionStore(std::filesystem::path{}),
      deviceCredentials(std::filesystem::path{}),
      releaseNotes(std::filesystem::path{}),
      playerStore(std::filesystem::path{}),
      playerData(player::LocalPlayerDataStore::Defaults(L"LOCAL", L"LOCAL_OPERATOR")),
      gameplayConfig(LoadGameplayConfigNearExecutable()) {
    const Clock::time_point now = Now();
    screenEnteredAt = now;
    lastFrameAt = now;
    fpsWindowStart = now;
    sessionStart = now;
    windowCreatedAt = now;
    matchClient.SetClock([this] { return Now(); });

    // The owner console's backend form starts filled in.
    fieldValues.emplace("field.backend.dbhost", L"localhost");
    fieldValues.emplace("field.backend.domain", std::wstring(kDefaultMailDomain));
    fieldValues.emplace("field.backend.smtpport", L"587");
    fieldValues.emplace("field.backend.security", L"starttls");
    fieldValues.emplace("field.backend.fromname", L"TARVONIX VOLLEY");
}

NativeShell::~NativeShell() {
    // Only a loop that failed leaves the window alive: unbind it before it goes.
    if (window && IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (renderView && IsWindow(renderView)) SetWindowLongPtrW(renderView, GWLP_USERDATA, 0);
        DestroyWindow(window);
        window = nullptr;
        renderView = nullptr;
    }
    StopGameplay(false);
    DiscardDeviceResources();
    bodyFormat.Reset();
    captionFormat.Reset();
    headingFormat.Reset();
    titleFormat.Reset();
    displayFormat.Reset();
    dwriteFactory.Reset();
    d2dFactory.Reset();
    wicFactory.Reset();
    // A pending request's future would wait for its worker thread as it is destroyed.
    CancelBackgroundRequests();
    AwaitExitSubmission();
}

int RunNativeProduct(HINSTANCE instance, int showCommand, ProductKind kind) {
    return RunNativeProduct(instance, showCommand, kind, std::wstring(kAccountServiceBaseUrl));
}

int RunNativeProduct(HINSTANCE instance, int showCommand, ProductKind kind, std::wstring accountServiceUrl) {
    SetProcessDPIAware();
    core::Log().Initialize(kind == ProductKind::OstrelNode ? L"tarvonix-ostrel-node.log" : L"tarvonix-volley.log");
    core::Log().Write("ApplicationStarted");
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    {
        // Destroyed before the apartment is left, so no COM object outlives it.
        NativeShell shell(instance, kind, std::move(accountServiceUrl));
        result = shell.Run(showCommand);
    }
    if (com >= 0) CoUninitialize();
    return result;
}

}  // namespace tarvo::ui
