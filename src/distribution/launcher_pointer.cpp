#include "distribution/launcher_pointer.h"

#include <system_error>

namespace tarvo::distribution {

// Only the missing file is told apart so far; any pointer present is not read yet.
std::optional<LauncherPointer> ReadLauncherPointer(const std::filesystem::path& installRoot, std::wstring& error) {
    std::error_code ec;
    const std::filesystem::path file = installRoot / "launcher" / "current.json";
    if (!std::filesystem::exists(file, ec)) {
        error = L"Versioned Launcher pointer is missing.";
        return std::nullopt;
    }
    error = L"Versioned Launcher pointer could not be read.";
    return std::nullopt;
}

}  // namespace tarvo::distribution
