#pragma once
// The launcher pointer: "current.json" in the "launcher" folder of the install root,
// naming the launcher version in use.
#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::distribution {

struct LauncherPointer {
    std::wstring version;
    std::filesystem::path executable;
};

// Nothing, with the error text set, when the file is missing ("Versioned Launcher
// pointer is missing.") or cannot be parsed.
std::optional<LauncherPointer> ReadLauncherPointer(const std::filesystem::path& installRoot, std::wstring& error);

}  // namespace tarvo::distribution
