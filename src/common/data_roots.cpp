#include "common/data_roots.h"

#include <objbase.h>
#include <shlobj.h>
#include <knownfolders.h>

#include "common/environment.h"
#include "common/file_utils.h"
#include "common/text_utils.h"

namespace tarvo::distribution {
namespace {

constexpr wchar_t kProductFolder[] = L"TARVONIX VOLLEY";

std::filesystem::path ShellFolder(const GUID& id) {
    PWSTR text = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &text)) && text != nullptr) result = text;
    if (text != nullptr) CoTaskMemFree(text);
    return result;
}

}  // namespace

std::filesystem::path UserStateRoot() {
    if (auto root = EnvironmentOverride(L"TARVO_QA_DATA_ROOT")) return std::filesystem::path(*root);
    return KnownFolder(FOLDERID_LocalAppData) / kProductFolder;
}

std::filesystem::path DefaultInstallRoot() {
    std::filesystem::path local = ShellFolder(FOLDERID_LocalAppData);
    if (!local.empty()) return local / L"Programs" / kProductFolder;
    return std::filesystem::temp_directory_path() / kProductFolder;
}

std::filesystem::path KnownFolder(const GUID& id) {
    if (auto root = EnvironmentOverride(L"TARVO_QA_SHORTCUT_ROOT")) {
        if (IsEqualGUID(id, FOLDERID_Desktop)) return std::filesystem::path(*root) / L"Desktop";
        if (IsEqualGUID(id, FOLDERID_Programs)) return std::filesystem::path(*root) / L"StartMenu" / L"Programs";
    }
    return ShellFolder(id);
}

std::wstring EnsureInstallationId() {
    const std::filesystem::path file = UserStateRoot() / L"Telemetry" / L"installation.id";
    // An id has 32 to 64 characters; a larger file is damaged and gets a new id.
    std::wstring stored = Utf8ToWide(ReadUtf8File(file, 4096));
    while (!stored.empty() && (stored.back() == L'\r' || stored.back() == L'\n')) stored.pop_back();
    if (stored.size() >= 32 && stored.size() <= 64) return stored;

    GUID guid{};
    if (FAILED(CoCreateGuid(&guid))) return {};
    wchar_t buffer[64] = {};
    const int length = StringFromGUID2(guid, buffer, 64);
    if (length <= 0) return {};
    std::wstring id(buffer);
    if (!id.empty() && id.front() == L'{') id.erase(0, 1);
    if (!id.empty() && id.back() == L'}') id.pop_back();

    std::wstring error;
    if (!AtomicWriteUtf8(file, WideToUtf8(id) + "\n", error)) return {};
    return id;
}

}  // namespace tarvo::distribution
