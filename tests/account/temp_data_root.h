#pragma once
// A unique folder under the system temp folder that stands in for the user state root
// (TARVO_QA_DATA_ROOT) for the life of one test, removed afterwards.

#include <windows.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace tarvo::testing {

class TempDataRoot {
public:
    TempDataRoot() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        GUID guid{};
        CoCreateGuid(&guid);
        wchar_t text[64] = {};
        StringFromGUID2(guid, text, 64);
        root_ = std::filesystem::path(temp) / (L"tarvo-accounts-" + std::wstring(text + 1, 36));
        std::filesystem::create_directories(root_);
        SetEnvironmentVariableW(L"TARVO_QA_DATA_ROOT", root_.c_str());
    }
    ~TempDataRoot() {
        SetEnvironmentVariableW(L"TARVO_QA_DATA_ROOT", nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempDataRoot(const TempDataRoot&) = delete;
    TempDataRoot& operator=(const TempDataRoot&) = delete;

    const std::filesystem::path& Path() const { return root_; }

private:
    std::filesystem::path root_;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tarvo::testing
