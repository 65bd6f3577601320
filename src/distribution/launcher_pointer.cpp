#include "distribution/launcher_pointer.h"

#include "account/json_reader.h"
#include "common/file_utils.h"
#include "common/text_utils.h"

namespace tarvo::distribution {
namespace {

// A pointer is a few hundred bytes; anything this large is not one.
constexpr std::size_t kMaxPointerBytes = 64 * 1024;

}  // namespace

std::optional<LauncherPointer> ParseLauncherPointer(std::string_view bytes, std::wstring& error) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!account::IsJsonObject(bytes)) {
        error = kLauncherPointerInvalid;
        return std::nullopt;
    }
    const std::optional<std::string> version = account::JsonMemberString(bytes, "version");
    LauncherPointer pointer;
    if (version) pointer.version = Utf8ToWide(*version);
    if (pointer.version.empty()) {
        error = kLauncherPointerInvalid;
        return std::nullopt;
    }
    if (const std::optional<std::string> executable = account::JsonMemberString(bytes, "executable")) {
        const std::wstring wide = Utf8ToWide(*executable);
        if (wide.empty() && !executable->empty()) {
            error = kLauncherPointerInvalid;
            return std::nullopt;
        }
        pointer.executable = wide;
    }
    return pointer;
}

std::optional<LauncherPointer> ReadLauncherPointer(const std::filesystem::path& installRoot, std::wstring& error) {
    const std::filesystem::path file = installRoot / "launcher" / "current.json";
    std::string bytes;
    switch (ReadWholeFile(file, kMaxPointerBytes, bytes)) {
        case FileRead::Read: return ParseLauncherPointer(bytes, error);
        case FileRead::Missing: error = kLauncherPointerMissing; return std::nullopt;
        default: error = kLauncherPointerUnreadable; return std::nullopt;
    }
}

}  // namespace tarvo::distribution
