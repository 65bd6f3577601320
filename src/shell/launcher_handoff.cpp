// Locating the install root and the UI assets, starting the launcher family's
// programs, and the one-time bootstrap migration before the window exists.
#include "shell/launcher_handoff.h"

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

}  // namespace

std::wstring QuoteCommandLineArgument(std::wstring_view argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // the closing quote must stay a quote
    quoted += L'"';
    return quoted;
}

std::wstring MigratorCommandLine(const fs::path& migrator, const fs::path& installRoot, const fs::path& componentRoot) {
    return QuoteCommandLineArgument(migrator.native()) + L" --install-root " +
           QuoteCommandLineArgument(installRoot.native()) + L" --component-root " +
           QuoteCommandLineArgument(componentRoot.native()) + L" --no-launch --quiet";
}

fs::path ChooseLauncherProgram(const fs::path& installRoot) {
    const fs::path bootstrap = installRoot / "launcher" / "TarvonixBootstrap.exe";
    if (Exists(bootstrap)) return bootstrap;
    const fs::path launcher = installRoot / "launcher" / "TarvonixLauncher.exe";
    if (Exists(launcher)) return launcher;
    return {};
}

bool StartLauncherProgram(HWND owner, const fs::path& installRoot, const wchar_t* argument) {
    const fs::path program = ChooseLauncherProgram(installRoot);
    if (program.empty()) return false;
    const HINSTANCE result =
        ShellExecuteW(owner, L"open", program.c_str(), argument, program.parent_path().c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void RunBootstrapMigrationFor(const fs::path& installRoot, const fs::path& executableDirectory, DWORD waitMs) {
    if (!Exists(installRoot / "current.json")) return;  // a plain folder never migrates

    std::wstring pointerError;
    if (Exists(installRoot / "launcher" / "TarvonixBootstrap.exe") &&
        distribution::ReadLauncherPointer(installRoot, pointerError)) {
        core::Log().Write("BootstrapMigrationAlreadyComplete");
        return;
    }
    const fs::path migrator = executableDirectory / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    const fs::path component = executableDirectory / "distribution" / "launcher-component";
    if (!Exists(migrator)) {
        core::Log().Write("BootstrapMigrationUnavailable");
        return;
    }
    core::Log().Write("BootstrapMigrationRequested");

    std::wstring commandLine = MigratorCommandLine(migrator, installRoot, component);
    STARTUPINFOW startupInfo{};
    startupInfo.cb = sizeof(startupInfo);
    PROCESS_INFORMATION process{};
    const std::wstring workingFolder = migrator.parent_path().native();
    if (!CreateProcessW(migrator.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startupInfo, &process)) {
        core::Log().Write("BootstrapMigrationCreateProcessFailed=" + std::to_string(GetLastError()));
        return;
    }
    WaitForSingleObject(process.hProcess, waitMs);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = static_cast<DWORD>(-1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode == 0) {
        core::Log().Write("BootstrapMigrationCompleted");
    } else {
        // Still running after the wait reads STILL_ACTIVE (259); it goes on by itself.
        core::Log().Write("BootstrapMigrationFailed=" + std::to_string(exitCode));
    }
}

fs::path NativeShell::ExecutableDirectory() {
    try {
        return distribution::ExecutableDirectory();
    } catch (...) {
        return {};
    }
}

fs::path NativeShell::DiscoverAsset(const fs::path& rel) { return FindUiAsset(ExecutableDirectory(), rel); }

fs::path NativeShell::DistributionInstallRoot() { return InstallRootFor(ExecutableDirectory()); }

bool NativeShell::OpenDistributionLauncher() {
    return StartLauncherProgram(window, DistributionInstallRoot(), L"--check-now");
}

bool NativeShell::RepairDistributionShortcuts() {
    return StartLauncherProgram(window, DistributionInstallRoot(), L"--repair-shortcuts");
}

void NativeShell::RunBootstrapMigration() { RunBootstrapMigrationFor(DistributionInstallRoot(), ExecutableDirectory()); }

}  // namespace tarvo::ui
