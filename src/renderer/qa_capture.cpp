#include "renderer/qa_capture.h"

#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/text_utils.h"

namespace tarvo::renderer {

namespace {

void PutU16(uint8_t* at, uint16_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

enum class WriteOutcome { NotOpened, Failed, Written };

WriteOutcome WriteFrameFile(const std::filesystem::path& file, uint32_t width, uint32_t height, const uint8_t* source,
                            uint32_t rowPitch, bool bgr) {
    const uint64_t rowBytes = uint64_t(width) * 4;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));  // before the file exists: nothing throws past here
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return WriteOutcome::NotOpened;

    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutU32(header + 2, static_cast<uint32_t>(rowBytes * height + 54));
    PutU32(header + 10, 54);
    PutU32(header + 14, 40);
    PutU32(header + 18, width);
    PutU32(header + 22, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // top-down rows
    PutU16(header + 26, 1);
    PutU16(header + 28, 32);
    out.write(reinterpret_cast<const char*>(header), sizeof(header));

    const int blue = bgr ? 0 : 2;
    const int red = bgr ? 2 : 0;
    for (uint32_t y = 0; y < height && out; ++y) {
        const uint8_t* src = source + size_t(rowPitch) * y;
        uint8_t* dst = row.data();
        for (uint32_t x = 0; x < width; ++x, src += 4, dst += 4) {
            dst[0] = src[blue];
            dst[1] = src[1];
            dst[2] = src[red];
            dst[3] = 255;
        }
        out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
    out.flush();
    const bool ok = out.good();
    out.close();
    return ok && !out.fail() ? WriteOutcome::Written : WriteOutcome::Failed;
}

}  // namespace

bool WriteQaFrame(const std::filesystem::path& file, uint32_t width, uint32_t height, const void* pixels,
                  uint32_t rowPitch, bool bgr) {
    if (!pixels || width == 0 || height == 0 || file.empty()) return false;
    // The BMP size field is 32-bit.
    if (uint64_t(width) * 4 * height + 54 > 0xFFFFFFFFull) return false;
    try {
        std::error_code ec;
        const std::filesystem::path folder = file.parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, ec);
            if (ec) return false;
        }
        const WriteOutcome outcome =
            WriteFrameFile(file, width, height, static_cast<const uint8_t*>(pixels), rowPitch, bgr);
        if (outcome == WriteOutcome::Written) return true;
        // Never leave a truncated capture behind; a target that could not even be
        // opened (a folder, a locked file) is not ours to remove.
        if (outcome == WriteOutcome::Failed) std::filesystem::remove(file, ec);
        return false;
    } catch (...) {
        return false;
    }
}

bool WriteQaFrameUtf8(const std::string& utf8Path, uint32_t width, uint32_t height, const void* pixels,
                      uint32_t rowPitch, bool bgr) {
    const std::wstring wide = distribution::Utf8ToWide(utf8Path);
    if (wide.empty()) return false;
    return WriteQaFrame(std::filesystem::path(wide), width, height, pixels, rowPitch, bgr);
}

}  // namespace tarvo::renderer
