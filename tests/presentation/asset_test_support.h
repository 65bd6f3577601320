#pragma once
// Byte builders for the asset reader tests.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tarvo::presentation::testing {

using tarvo::testing::TempFolder;

inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    tarvo::testing::WriteBytes(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Writes `bytes` and then extends the file with zeros up to `totalSize` without
// writing them (a sparse tail), for files that claim hundreds of megabytes.
inline bool WriteWithZeroTail(const std::filesystem::path& file, const std::vector<uint8_t>& bytes, uint64_t totalSize) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(totalSize);
    ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

struct ByteWriter {
    std::vector<uint8_t> bytes;
    ByteWriter& Raw(const void* data, size_t count) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + count);
        return *this;
    }
    ByteWriter& Text(const std::string& text) { return Raw(text.data(), text.size()); }
    ByteWriter& U32(uint32_t value) { return Raw(&value, 4); }
    ByteWriter& F32(float value) { return Raw(&value, 4); }
    ByteWriter& Fill(uint8_t value, size_t count) {
        bytes.insert(bytes.end(), count, value);
        return *this;
    }
};

// A character file of version 2 or 3, valid unless a field is changed.
struct CharacterFixture {
    struct Clip {
        std::string name;
        float duration;
        uint32_t frames;
    };
    struct Lod {
        uint32_t vertices;
        uint32_t indices;
        float maxDistance;
    };
    struct Mip {
        uint32_t width;
        uint32_t height;
        std::optional<uint32_t> byteCount;  // width * height * 4 unless set
        bool writePixels = true;
    };
    std::string magic = "TRVMESH2";
    uint32_t version = 2;
    std::optional<uint32_t> lodCount, clipCount, mipCount;  // the list sizes unless set
    float height = 1.8f;
    float reservedFloat = 1.0f;
    uint32_t reservedWord = 1;
    uint32_t baseColor = 1;
    std::vector<Clip> clips = {{"idle", 2.0f, 4}, {"walk", 1.0f, 2}};
    std::vector<Lod> lods = {{4, 6, 10.0f}, {3, 3, 1000.0f}};
    std::vector<Mip> mips = {{2, 2}, {1, 1}};
    float poseValue = 0.25f;    // every attachment-pose float
    float uvValue = 0.5f;       // every texture coordinate
    float badPosition = 0.0f;   // when non-zero, replaces the very last position float
    uint32_t badIndex = 0;      // when non-zero, replaces the first index of LOD 0
    size_t truncateTo = 0;      // when non-zero, the file is cut to this many bytes

    // Positions carry (frame, vertex, clip + 10 * lod) so tests can tell frames apart.
    std::vector<uint8_t> Build() const {
        ByteWriter w;
        w.Text(magic).U32(version).U32(lodCount.value_or(static_cast<uint32_t>(lods.size())));
        w.U32(clipCount.value_or(static_cast<uint32_t>(clips.size())));
        w.U32(mipCount.value_or(static_cast<uint32_t>(mips.size())));
        w.F32(height).F32(reservedFloat).U32(reservedWord).U32(baseColor);
        w.Fill(0xAB, 32).Fill(0x5C, 32);
        for (const Clip& c : clips) {
            w.U32(static_cast<uint32_t>(c.name.size())).Text(c.name).F32(c.duration).U32(c.frames);
        }
        if (version == 3 || magic == "TRVMESH3") {
            for (size_t c = 0; c < clips.size(); ++c) {
                for (uint32_t f = 0; f < clips[c].frames; ++f) {
                    for (int k = 0; k < 9; ++k) {
                        w.F32(k == 0 ? static_cast<float>(f) : poseValue);
                    }
                }
            }
        }
        for (size_t l = 0; l < lods.size(); ++l) {
            const Lod& lod = lods[l];
            w.U32(lod.vertices).U32(lod.indices).F32(lod.maxDistance);
            for (uint32_t v = 0; v < lod.vertices; ++v) {
                w.F32(uvValue).F32(uvValue);
            }
            for (uint32_t i = 0; i < lod.indices; ++i) {
                w.U32(l == 0 && i == 0 && badIndex != 0 ? badIndex : i % lod.vertices);
            }
            for (size_t c = 0; c < clips.size(); ++c) {
                for (uint32_t f = 0; f < clips[c].frames; ++f) {
                    for (uint32_t v = 0; v < lod.vertices; ++v) {
                        w.F32(static_cast<float>(f)).F32(static_cast<float>(v)).F32(static_cast<float>(c + 10 * l));
                    }
                }
            }
        }
        for (const Mip& m : mips) {
            const uint32_t count = m.byteCount.value_or(m.width * m.height * 4);
            w.U32(m.width).U32(m.height).U32(count);
            if (m.writePixels) {
                w.Fill(0x7F, count);
            }
        }
        if (badPosition != 0.0f) {
            // The last position float sits right before the texture records.
            size_t textureBytes = 0;
            for (const Mip& m : mips) {
                textureBytes += 12 + (m.writePixels ? m.byteCount.value_or(m.width * m.height * 4) : 0);
            }
            std::memcpy(w.bytes.data() + w.bytes.size() - textureBytes - 4, &badPosition, 4);
        }
        if (truncateTo != 0 && truncateTo < w.bytes.size()) {
            w.bytes.resize(truncateTo);
        }
        return w.bytes;
    }
};

// A version 1 character file.
struct CharacterV1Fixture {
    uint32_t version = 1;
    uint32_t vertices = 4;
    uint32_t indices = 6;
    std::optional<uint32_t> clipCount;
    float height = 1.8f;
    float reservedFloat = 1.0f;
    std::vector<CharacterFixture::Clip> clips = {{"idle", 2.0f, 4}, {"run", 0.5f, 3}};
    uint32_t badIndex = 0;
    bool writePositions = true;

    std::vector<uint8_t> Build() const {
        ByteWriter w;
        w.Text("TRVMESH1").U32(version).U32(vertices).U32(indices);
        w.U32(clipCount.value_or(static_cast<uint32_t>(clips.size())));
        w.F32(height).F32(reservedFloat).Fill(0x01, 32);
        for (uint32_t i = 0; i < indices; ++i) {
            w.U32(i == 0 && badIndex != 0 ? badIndex : i % vertices);
        }
        for (size_t c = 0; c < clips.size(); ++c) {
            const auto& clip = clips[c];
            w.U32(static_cast<uint32_t>(clip.name.size())).Text(clip.name).F32(clip.duration).U32(clip.frames);
            if (writePositions) {
                for (uint32_t f = 0; f < clip.frames; ++f) {
                    for (uint32_t v = 0; v < vertices; ++v) {
                        w.F32(static_cast<float>(f)).F32(static_cast<float>(v)).F32(static_cast<float>(c));
                    }
                }
            }
        }
        return w.bytes;
    }
};

// A rifle file with `vertices` vertices (position = (i, 0, 0), grey colour).
inline std::vector<uint8_t> BuildWeaponFile(uint32_t vertices, const std::string& magic = "TRVWPN01",
                                            uint32_t version = 1, std::optional<uint32_t> claimed = std::nullopt) {
    ByteWriter w;
    w.Text(magic).U32(version).U32(claimed.value_or(vertices));
    for (int i = 0; i < 32; ++i) {
        w.Raw(&i, 1);
    }
    for (uint32_t i = 0; i < vertices; ++i) {
        w.F32(static_cast<float>(i)).F32(0.0f).F32(0.0f).F32(0.3f).F32(0.3f).F32(0.3f);
    }
    return w.bytes;
}

}  // namespace tarvo::presentation::testing
