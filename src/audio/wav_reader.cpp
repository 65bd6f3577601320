#include "audio/wav_reader.h"

#include <cstring>

namespace tarvo::audio {
namespace {

constexpr uint32_t kMaxChunkBytes = 16u * 1024u * 1024u;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool ReadWeaponWav(std::span<const uint8_t> file, std::vector<uint8_t>& samples) {
    samples.clear();
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool formatAccepted = false;
    const uint8_t* data = nullptr;
    size_t dataBytes = 0;
    size_t offset = 12;
    while (file.size() - offset >= 8) {
        const uint8_t* header = file.data() + offset;
        const uint32_t size = U32(header + 4);
        if (size > kMaxChunkBytes) {
            return false;
        }
        offset += 8;
        if (size > file.size() - offset) {
            return false;  // chunk runs past the end of the file
        }
        const uint8_t* content = file.data() + offset;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (size < 16) {
                return false;
            }
            // Only the first 16 bytes matter; an extension size field after them is fine.
            // A later "fmt " chunk replaces the verdict of an earlier one.
            formatAccepted = U16(content) == 1 && U16(content + 2) == 1 && U32(content + 4) == 48000 &&
                             U16(content + 14) == 16;
        } else if (std::memcmp(header, "data", 4) == 0) {
            data = content;
            dataBytes = size;
        }
        offset += size;
        if ((size & 1u) != 0) {
            if (offset >= file.size()) {
                break;  // a missing pad byte after the last chunk loses nothing
            }
            offset += 1;
        }
    }
    if (!formatAccepted || data == nullptr || dataBytes == 0 || (dataBytes & 1u) != 0) {
        return false;
    }
    samples.assign(data, data + dataBytes);
    return true;
}

}  // namespace tarvo::audio
