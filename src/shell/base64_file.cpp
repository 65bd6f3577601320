#include "shell/base64_file.h"

#include <windows.h>
#include <wincrypt.h>

#include "common/file_utils.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {
constexpr std::size_t kMaxUploadBytes = 8u * 1024u * 1024u;
}

std::string Base64File(const std::filesystem::path& file) {
    const std::string bytes = distribution::ReadUtf8File(file, kMaxUploadBytes);
    if (bytes.empty()) return {};

    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD length = 0;
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    const auto count = static_cast<DWORD>(bytes.size());
    if (!CryptBinaryToStringA(data, count, flags, nullptr, &length) || length == 0) return {};
    std::string text(length, '\0');
    if (!CryptBinaryToStringA(data, count, flags, text.data(), &length) || length == 0) return {};
    text.resize(length);  // the second call reports the length without the terminator
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::string AvatarUploadText(const std::filesystem::path& image, const std::filesystem::path& profileFolder) {
    const std::filesystem::path own = AvatarInsideProfile(image, profileFolder);
    return own.empty() ? std::string() : Base64File(own);
}

}  // namespace tarvo::ui
