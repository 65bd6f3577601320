#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tarvo::renderer::test {

// A unique folder under the system temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) /
                (L"tarvo-renderer-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter_++) +
                 L"-" + std::to_wstring(GetTickCount64()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

}  // namespace tarvo::renderer::test
