// Locating the install root and the UI assets, starting the launcher family's
// programs, and the one-time bootstrap migration before the window exists.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <system_error>

#include "common/file_utils.h"
#include "core/runtime_log.h"
#include "distribution/launcher_pointer.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {
namespace {

namespace fs = std::filesystem;

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool StartLauncher(HWND owner, const wchar_t* argument) {
    const fs::path root = NativeShell::DistributionInstallRoot();
    const fs::path bootstrap = root / "launcher" / "TarvonixBootstrap.exe";
    const fs::path launcher = root / "launcher" / "TarvonixLauncher.exe";
    const fs::path program = Exists(bootstrap) ? bootstrap : launcher;
    if (!Exists(program)) return false;
    const HINSTANCE result = ShellExecuteW(owner, L"open", program.c_str(), argument,
                                           program.parent_path().c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

fs::path NativeShell::ExecutableDirectory() {
    try {
        return distribution::ExecutableDirectory();
    } catch (...) {
        return {};
    }
}

fs::path NativeShell::DiscoverAsset(const fs::path& rel) { return FindUiAsset(ExecutableDirectory(), rel); }

fs::path NativeShell::DistributionInstallRoot() { return InstallRootFor(ExecutableDirectory()); }

bool NativeShell::OpenDistributionLauncher() { return StartLauncher(window, L"--check-now"); }

bool NativeShell::RepairDistributionShortcuts() { return StartLauncher(window, L"--repair-shortcuts"); }

void NativeShell::RunBootstrapMigration() {
    const fs::path root = DistributionInstallRoot();
    if (!Exists(root / "current.json")) return;  // a plain folder never migrates

    std::wstring pointerError;
    if (Exists(root / "launcher" / "TarvonixBootstrap.exe") &&
        distribution::ReadLauncherPointer(root, pointerError)) {
        core::Log().Write("BootstrapMigrationAlreadyComplete");
        return;
    }
    const fs::path exeDir = ExecutableDirectory();
    const fs::path migrator = exeDir / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    const fs::path component = exeDir / "distribution" / "launcher-component";
    if (!Exists(migrator)) {
        core::Log().Write("BootstrapMigrationUnavailable");
        return;
    }
    core::Log().Write("BootstrapMigrationRequested");

    std::wstring commandLine = L"\"" + migrator.wstring() + L"\" --install-root \"" + root.wstring() +
                               L"\" --component-root \"" + component.wstring() + L"\" --no-launch --quiet";
    STARTUPINFOW startupInfo{};
    startupInfo.cb = sizeof(startupInfo);
    PROCESS_INFORMATION process{};
    const std::wstring workingFolder = migrator.parent_path().wstring();
    if (!CreateProcessW(migrator.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startupInfo, &process)) {
        core::Log().Write("BootstrapMigrationCreateProcessFailed=" + std::to_string(GetLastError()));
        return;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = static_cast<DWORD>(-1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode == 0) {
        core::Log().Write("BootstrapMigrationCompleted");
    } else {
        core::Log().Write("BootstrapMigrationFailed=" + std::to_string(exitCode));
    }
}

}  // namespace tarvo::ui
