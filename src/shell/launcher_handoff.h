#pragma once
// The launcher family's programs as this program starts them, over explicit folders
// so that tests can hand in their own install layouts. The shell's members
// (OpenDistributionLauncher, RepairDistributionShortcuts, RunBootstrapMigration)
// call these with the real install root and executable folder.
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo::ui {

inline constexpr DWORD kBootstrapMigrationWaitMs = 30000;

// One argument in double quotes as the standard command-line parser reads it back:
// backslashes before a quote or before the closing quote are doubled and inner
// quotes escaped, so "C:\" or a text holding quotes arrives unchanged.
std::wstring QuoteCommandLineArgument(std::wstring_view argument);

// "<migrator>" --install-root "<root>" --component-root "<component>" --no-launch --quiet
std::wstring MigratorCommandLine(const std::filesystem::path& migrator, const std::filesystem::path& installRoot,
                                 const std::filesystem::path& componentRoot);

// launcher/TarvonixBootstrap.exe of the install root when it exists, else
// launcher/TarvonixLauncher.exe when that exists; empty when neither does.
std::filesystem::path ChooseLauncherProgram(const std::filesystem::path& installRoot);

// Starts the chosen launcher program with one argument, in the program's folder,
// without waiting. False when there is no program or the start failed.
bool StartLauncherProgram(HWND owner, const std::filesystem::path& installRoot, const wchar_t* argument);

// The one-time move to the versioned launcher layout. Outcomes are only logged.
void RunBootstrapMigrationFor(const std::filesystem::path& installRoot, const std::filesystem::path& executableDirectory,
                              DWORD waitMs = kBootstrapMigrationWaitMs);

}  // namespace tarvo::ui
