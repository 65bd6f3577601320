#include "presentation/asset_file.h"

#include <system_error>

#include "common/file_utils.h"

namespace tarvo::presentation::detail {

bool AssetFile::Read(void* destination, uint64_t count) {
    if (!IsOpen() || count > Remaining()) {
        return false;
    }
    auto* out = static_cast<uint8_t*>(destination);
    while (count > 0) {
        size_t got = 0;
        if (!file.ReadSome(out, static_cast<size_t>(count), got) || got == 0) {
            return false;
        }
        out += got;
        offset += got;
        count -= got;
    }
    return true;
}

std::string HexText(const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(count * 2, '0');
    for (size_t i = 0; i < count; ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::filesystem::path DiscoverUpward(const std::filesystem::path& relative) {
    const std::filesystem::path start = distribution::ExecutableDirectory();
    std::filesystem::path folder = start;
    for (int i = 0; i < 8; ++i) {
        if (folder.empty()) {
            break;
        }
        const std::filesystem::path candidate = folder / relative;
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(candidate, error))) {
            return candidate;
        }
        const std::filesystem::path parent = folder.parent_path();
        if (parent == folder) {
            break;
        }
        folder = parent;
    }
    return start / relative;
}

}  // namespace tarvo::presentation::detail
