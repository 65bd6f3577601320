#pragma once
// The launcher pointer: "current.json" in the "launcher" folder of the install root,
// naming the launcher version in use. The launcher family writes it; this program
// only reads it, e.g. {"version": "1.4.0", "executable": "versions/1.4.0/TarvonixLauncher.exe"}.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::distribution {

struct LauncherPointer {
    std::wstring version;               // never empty
    std::filesystem::path executable;   // as written, relative to the launcher folder; may be empty
};

inline constexpr std::wstring_view kLauncherPointerMissing = L"Versioned Launcher pointer is missing.";
inline constexpr std::wstring_view kLauncherPointerUnreadable = L"Versioned Launcher pointer could not be read.";
inline constexpr std::wstring_view kLauncherPointerInvalid = L"Versioned Launcher pointer is invalid.";

// The pointer in a file's bytes: a JSON object with a non-empty "version" string and
// an optional "executable" string. Nothing, with the invalid text in error, otherwise.
std::optional<LauncherPointer> ParseLauncherPointer(std::string_view bytes, std::wstring& error);

// Nothing, with the error text set, when the file is missing ("Versioned Launcher
// pointer is missing."), cannot be read or cannot be parsed.
std::optional<LauncherPointer> ReadLauncherPointer(const std::filesystem::path& installRoot, std::wstring& error);

}  // namespace tarvo::distribution
