#include "presentation/imported_character_asset.h"

#include <cmath>
#include <cstring>

#include "presentation/asset_file.h"

namespace tarvo::presentation {

namespace {

constexpr uint32_t kV1MaxVertices = 100000;
constexpr uint32_t kV1MaxIndices = 600000;
constexpr uint64_t kV1MaxClipVertexFrames = 12000000;
constexpr uint32_t kMaxLods = 8;
constexpr uint32_t kMaxClips = 16;
constexpr uint32_t kMaxTextureMips = 16;
constexpr uint32_t kMaxNameLength = 64;
constexpr uint32_t kMaxFrames = 120;
constexpr uint32_t kLodMaxVertices = 250000;
constexpr uint32_t kLodMaxIndices = 1200000;
constexpr uint64_t kMaxFileVertexFrames = 18000000;
constexpr uint32_t kMaxTextureSide = 8192;
constexpr uint64_t kMaxTextureBytes = 402653184;  // 384 MiB

bool Positive(float value) { return std::isfinite(value) && value > 0.0f; }

bool AllFinite(const float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}

float SafeSeconds(float seconds) { return std::isfinite(seconds) && seconds > 0.0f ? seconds : 0.0f; }

struct ClipDescriptor {
    std::string name;
    float durationSeconds = 0.0f;
    uint32_t frameCount = 0;
};

}  // namespace

// Reads one file into an asset that the caller has just reset. Every check that
// fails leaves its status text in `failure`; the caller resets the asset then.
class CharacterFileReader {
public:
    CharacterFileReader(ImportedCharacterAsset& asset, detail::AssetFile& file) : asset(asset), file(file) {}

    bool Run() {
        char magic[8] = {};
        stage = L"TRUNCATED HEADER — PROCEDURAL FALLBACK ACTIVE";
        if (!file.Read(magic, sizeof(magic))) {
            return Fail(stage);
        }
        if (std::memcmp(magic, "TRVMESH1", 8) == 0) {
            return ReadVersion1();
        }
        if (std::memcmp(magic, "TRVMESH2", 8) == 0) {
            return ReadVersion2Or3(2);
        }
        if (std::memcmp(magic, "TRVMESH3", 8) == 0) {
            return ReadVersion2Or3(3);
        }
        return Fail(L"INVALID HEADER — PROCEDURAL FALLBACK ACTIVE");
    }

    const wchar_t* Failure() const { return failure; }
    // Status of the block being read when an allocation threw.
    const wchar_t* Stage() const { return stage; }

private:
    bool Fail(const wchar_t* text) {
        failure = text;
        return false;
    }

    bool ReadName(std::string& name, uint32_t length) {
        if (length > file.Remaining()) {
            return false;
        }
        name.resize(length);
        return file.Read(name.data(), length);
    }

    bool ReadVersion1() {
        uint32_t version = 0, vertexCount = 0, indexCount = 0, clipCount = 0;
        float height = 0.0f, reserved = 0.0f;
        stage = L"TRUNCATED TRVMESH1 HEADER — PROCEDURAL FALLBACK ACTIVE";
        if (!file.ReadValue(version) || !file.ReadValue(vertexCount) || !file.ReadValue(indexCount) ||
            !file.ReadValue(clipCount) || !file.ReadValue(height) || !file.ReadValue(reserved)) {
            return Fail(stage);
        }
        if (version != 1 || vertexCount < 3 || vertexCount > kV1MaxVertices || indexCount < 3 ||
            indexCount > kV1MaxIndices || indexCount % 3 != 0 || clipCount < 1 || clipCount > kMaxClips ||
            !std::isfinite(height) || height < 0.5f || height > 4.0f || !Positive(reserved)) {
            return Fail(L"INVALID TRVMESH1 METADATA — PROCEDURAL FALLBACK ACTIVE");
        }
        uint8_t hash[32] = {};
        stage = L"TRUNCATED TRVMESH1 HASH — PROCEDURAL FALLBACK ACTIVE";
        if (!file.Read(hash, sizeof(hash))) {
            return Fail(stage);
        }
        asset.sourceHashHex = detail::HexText(hash, sizeof(hash));

        ImportedCharacterLod lod;
        lod.maxDistance = 1000.0f;
        stage = L"INVALID TRVMESH1 TOPOLOGY — PROCEDURAL FALLBACK ACTIVE";
        if (!detail::ReadBlock(file, lod.indices, indexCount)) {
            return Fail(stage);
        }
        for (const uint32_t index : lod.indices) {
            if (index >= vertexCount) {
                return Fail(stage);
            }
        }
        lod.clips.reserve(clipCount);
        for (uint32_t c = 0; c < clipCount; ++c) {
            ImportedAnimationClip clip;
            uint32_t nameLength = 0;
            stage = L"INVALID TRVMESH1 CLIP — PROCEDURAL FALLBACK ACTIVE";
            if (!file.ReadValue(nameLength) || nameLength < 1 || nameLength > kMaxNameLength ||
                !ReadName(clip.name, nameLength) || !file.ReadValue(clip.durationSeconds) ||
                !Positive(clip.durationSeconds) || !file.ReadValue(clip.frameCount) || clip.frameCount < 1 ||
                clip.frameCount > kMaxFrames) {
                return Fail(stage);
            }
            const uint64_t vertexFrames = uint64_t{clip.frameCount} * vertexCount;
            if (vertexFrames > kV1MaxClipVertexFrames) {
                return Fail(L"TRVMESH1 CLIP LIMIT EXCEEDED — PROCEDURAL FALLBACK ACTIVE");
            }
            stage = L"TRUNCATED TRVMESH1 FRAMES — PROCEDURAL FALLBACK ACTIVE";
            if (!detail::ReadBlock(file, clip.positions, vertexFrames)) {
                return Fail(stage);
            }
            lod.clips.push_back(std::move(clip));
        }
        asset.heightMeters = height;
        asset.lods.push_back(std::move(lod));
        asset.formatVersion = 1;
        return true;
    }

    bool ReadVersion2Or3(uint32_t magicVersion) {
        uint32_t version = 0, lodCount = 0, clipCount = 0, mipCount = 0, reservedWord = 0, baseColorFlags = 0;
        float reserved = 0.0f;
        stage = L"TRUNCATED TRVMESH2 HEADER — ROLLBACK REQUIRED";
        if (!file.ReadValue(version) || !file.ReadValue(lodCount) || !file.ReadValue(clipCount) ||
            !file.ReadValue(mipCount) || !file.ReadValue(asset.heightMeters) || !file.ReadValue(reserved) ||
            !file.ReadValue(reservedWord) || !file.ReadValue(baseColorFlags)) {
            return Fail(stage);
        }
        asset.baseColor = static_cast<uint8_t>(baseColorFlags & 0xFFu);
        const float height = asset.heightMeters;
        if (version != magicVersion || lodCount < 1 || lodCount > kMaxLods || clipCount < 1 || clipCount > kMaxClips ||
            mipCount < 1 || mipCount > kMaxTextureMips || !std::isfinite(height) || height < 0.5f || height > 4.0f ||
            !Positive(reserved) || reservedWord != 1) {
            return Fail(L"INVALID TRVMESH2 METADATA — ROLLBACK REQUIRED");
        }
        uint8_t sourceHash[32] = {};
        uint8_t textureHash[32] = {};
        stage = L"TRUNCATED TRVMESH2 HASH — ROLLBACK REQUIRED";
        if (!file.Read(sourceHash, sizeof(sourceHash)) || !file.Read(textureHash, sizeof(textureHash))) {
            return Fail(stage);
        }
        asset.sourceHashHex = detail::HexText(sourceHash, sizeof(sourceHash));
        asset.textureHashHex = detail::HexText(textureHash, sizeof(textureHash));

        ClipDescriptor descriptors[kMaxClips];
        stage = L"INVALID TRVMESH2 CLIP TABLE — ROLLBACK REQUIRED";
        for (uint32_t c = 0; c < clipCount; ++c) {
            ClipDescriptor& d = descriptors[c];
            uint32_t nameLength = 0;
            if (!file.ReadValue(nameLength) || nameLength < 1 || nameLength > kMaxNameLength ||
                !ReadName(d.name, nameLength) || !file.ReadValue(d.durationSeconds) || !Positive(d.durationSeconds) ||
                !file.ReadValue(d.frameCount) || d.frameCount < 1 || d.frameCount > kMaxFrames) {
                return Fail(stage);
            }
        }

        if (version == 3) {
            stage = L"INVALID TRVMESH3 ATTACHMENT POSES — ROLLBACK REQUIRED";
            asset.attachmentClips.reserve(clipCount);
            for (uint32_t c = 0; c < clipCount; ++c) {
                ImportedAttachmentClip clip;
                clip.name = descriptors[c].name;
                clip.durationSeconds = descriptors[c].durationSeconds;
                if (!detail::ReadBlock(file, clip.poses, descriptors[c].frameCount)) {
                    return Fail(stage);
                }
                for (const ImportedAttachmentPose& pose : clip.poses) {
                    if (!AllFinite(pose.values, 9)) {
                        return Fail(stage);
                    }
                }
                asset.attachmentClips.push_back(std::move(clip));
            }
        }

        uint64_t vertexFrames = 0;
        asset.lods.reserve(lodCount);
        for (uint32_t l = 0; l < lodCount; ++l) {
            ImportedCharacterLod lod;
            uint32_t vertexCount = 0, indexCount = 0;
            stage = L"INVALID TRVMESH2 LOD — ROLLBACK REQUIRED";
            if (!file.ReadValue(vertexCount) || !file.ReadValue(indexCount) || !file.ReadValue(lod.maxDistance) ||
                vertexCount < 3 || vertexCount > kLodMaxVertices || indexCount < 3 || indexCount > kLodMaxIndices ||
                indexCount % 3 != 0 || !Positive(lod.maxDistance)) {
                return Fail(stage);
            }
            stage = L"INVALID TRVMESH2 LOD DATA — ROLLBACK REQUIRED";
            if (!detail::ReadBlock(file, lod.textureCoordinates, vertexCount) ||
                !detail::ReadBlock(file, lod.indices, indexCount)) {
                return Fail(stage);
            }
            for (const uint32_t index : lod.indices) {
                if (index >= vertexCount) {
                    return Fail(stage);
                }
            }
            for (const ImportedTextureCoordinate& uv : lod.textureCoordinates) {
                if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
                    return Fail(stage);
                }
            }
            lod.clips.reserve(clipCount);
            for (uint32_t c = 0; c < clipCount; ++c) {
                const ClipDescriptor& d = descriptors[c];
                const uint64_t clipVertexFrames = uint64_t{vertexCount} * d.frameCount;
                vertexFrames += clipVertexFrames;
                if (vertexFrames > kMaxFileVertexFrames) {
                    return Fail(L"TRVMESH2 FRAME LIMIT EXCEEDED — ROLLBACK REQUIRED");
                }
                ImportedAnimationClip clip;
                clip.name = d.name;
                clip.durationSeconds = d.durationSeconds;
                clip.frameCount = d.frameCount;
                stage = L"TRUNCATED TRVMESH2 FRAMES — ROLLBACK REQUIRED";
                if (!detail::ReadBlock(file, clip.positions, clipVertexFrames)) {
                    return Fail(stage);
                }
                for (const gameplay::Vec3& p : clip.positions) {
                    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                        return Fail(stage);
                    }
                }
                lod.clips.push_back(std::move(clip));
            }
            asset.lods.push_back(std::move(lod));
        }

        uint64_t textureBytes = 0;
        asset.textureMips.reserve(mipCount);
        for (uint32_t m = 0; m < mipCount; ++m) {
            ImportedTextureMip mip;
            uint32_t byteCount = 0;
            stage = L"INVALID TRVMESH2 TEXTURE — ROLLBACK REQUIRED";
            if (!file.ReadValue(mip.width) || !file.ReadValue(mip.height) || !file.ReadValue(byteCount) ||
                mip.width < 1 || mip.width > kMaxTextureSide || mip.height < 1 || mip.height > kMaxTextureSide ||
                uint64_t{byteCount} != uint64_t{mip.width} * mip.height * 4) {
                return Fail(stage);
            }
            textureBytes += byteCount;
            if (textureBytes > kMaxTextureBytes) {
                return Fail(L"TRVMESH2 TEXTURE LIMIT EXCEEDED — ROLLBACK REQUIRED");
            }
            stage = L"TRUNCATED TRVMESH2 TEXTURE — ROLLBACK REQUIRED";
            if (!detail::ReadBlock(file, mip.pixels, byteCount)) {
                return Fail(stage);
            }
            asset.textureMips.push_back(std::move(mip));
        }

        if ((asset.baseColor & 1u) == 0 || asset.textureMips.empty()) {
            return Fail(L"TRVMESH2 BASE COLOR MISSING — ROLLBACK REQUIRED");
        }
        asset.formatVersion = version;
        return true;
    }

    ImportedCharacterAsset& asset;
    detail::AssetFile& file;
    const wchar_t* failure = L"";
    const wchar_t* stage = L"MISSING — PROCEDURAL FALLBACK ACTIVE";
};

static_assert(sizeof(ImportedAttachmentPose) == 36);
static_assert(sizeof(ImportedTextureCoordinate) == 8);
static_assert(sizeof(gameplay::Vec3) == 12);

void ImportedCharacterAsset::Reset() {
    lods = {};
    textureMips = {};
    attachmentClips = {};
    heightMeters = 0.0f;
    formatVersion = 0;
    baseColor = 0;
    usedRollback = false;
    sourceHashHex.clear();
    textureHashHex.clear();
    status = L"NOT LOADED";
}

bool ImportedCharacterAsset::Load(const std::filesystem::path& path) {
    Reset();
    const wchar_t* failure = L"MISSING — PROCEDURAL FALLBACK ACTIVE";
    try {
        detail::AssetFile file(path);
        if (file.IsOpen()) {
            CharacterFileReader reader(*this, file);
            bool accepted = false;
            try {
                accepted = reader.Run();
            } catch (...) {
                // Allocation failure inside a block reads as that block being cut short.
                Reset();
                status = reader.Stage();
                return false;
            }
            if (accepted) {
                status = formatVersion == 1   ? L"ROZIZODIVO TRVMESH1 ROLLBACK READY"
                         : formatVersion == 2 ? L"ROZIZODIVO TRVMESH2 TEXTURED LOD READY"
                                              : L"ROZIZODIVO TRVMESH3 TEXTURED + ANIMATED SOCKETS READY";
                return true;
            }
            failure = reader.Failure();
        }
        Reset();
        status = failure;
    } catch (...) {
        Reset();
    }
    return false;
}

bool ImportedCharacterAsset::LoadWithRollback(const std::filesystem::path& runtime,
                                              const std::filesystem::path& rollback) {
    if (Load(runtime)) {
        return true;
    }
    try {
        std::wstring runtimeStatus = status;
        if (Load(rollback)) {
            usedRollback = true;
            status = L"ROZIZODIVO 0.0.03 ROLLBACK ACTIVE";
            return true;
        }
        status = std::move(runtimeStatus);
        status += L"; ROLLBACK UNAVAILABLE — PROCEDURAL FALLBACK ACTIVE";
    } catch (...) {
        Reset();
    }
    return false;
}

bool ImportedCharacterAsset::Ready() const {
    return !lods.empty() && !lods.front().indices.empty() && !lods.front().clips.empty();
}

bool ImportedCharacterAsset::HasClip(std::string_view clip) const {
    if (!Ready()) {
        return false;
    }
    for (const ImportedAnimationClip& c : lods.front().clips) {
        if (c.name == clip) {
            return true;
        }
    }
    return false;
}

std::span<const gameplay::Vec3> ImportedCharacterAsset::Sample(std::string_view clip, float seconds, size_t lod) const {
    if (lod >= lods.size()) {
        return {};
    }
    const ImportedCharacterLod& level = lods[lod];
    for (const ImportedAnimationClip& c : level.clips) {
        if (c.name != clip) {
            continue;
        }
        if (c.positions.empty() || c.frameCount == 0 || !(c.durationSeconds > 0.0f)) {
            return {};
        }
        const size_t vertexCount =
            !level.textureCoordinates.empty() ? level.textureCoordinates.size() : c.positions.size() / c.frameCount;
        if (vertexCount == 0) {
            return {};
        }
        const float t = std::fmod(SafeSeconds(seconds), c.durationSeconds);
        const size_t frame = static_cast<size_t>(static_cast<float>(c.frameCount) * (t / c.durationSeconds)) % c.frameCount;
        const size_t first = frame * vertexCount;
        if (first + vertexCount > c.positions.size()) {
            return {};
        }
        return std::span<const gameplay::Vec3>(c.positions).subspan(first, vertexCount);
    }
    return {};
}

std::optional<ImportedAttachmentPose> ImportedCharacterAsset::SampleAttachments(std::string_view clip,
                                                                                float seconds) const {
    for (const ImportedAttachmentClip& c : attachmentClips) {
        if (c.name != clip) {
            continue;
        }
        if (c.poses.empty() || !(c.durationSeconds > 0.0f)) {
            return std::nullopt;
        }
        const float t = std::fmod(SafeSeconds(seconds), c.durationSeconds) / c.durationSeconds;
        const size_t index = static_cast<size_t>(t * static_cast<float>(c.poses.size())) % c.poses.size();
        return c.poses[index];
    }
    return std::nullopt;
}

std::span<const uint32_t> ImportedCharacterAsset::Indices(size_t lod) const {
    return lod < lods.size() ? std::span<const uint32_t>(lods[lod].indices) : std::span<const uint32_t>();
}

std::span<const ImportedTextureCoordinate> ImportedCharacterAsset::TextureCoordinates(size_t lod) const {
    return lod < lods.size() ? std::span<const ImportedTextureCoordinate>(lods[lod].textureCoordinates)
                             : std::span<const ImportedTextureCoordinate>();
}

size_t ImportedCharacterAsset::LodForDistance(float meters) const {
    if (lods.empty()) {
        return 0;
    }
    for (size_t i = 0; i < lods.size(); ++i) {
        if (lods[i].maxDistance >= meters) {
            return i;
        }
    }
    return lods.size() - 1;
}

size_t ImportedCharacterAsset::VertexCount(size_t lod) const {
    if (lod >= lods.size() || lods[lod].clips.empty()) {
        return 0;
    }
    const ImportedCharacterLod& level = lods[lod];
    if (!level.textureCoordinates.empty()) {
        return level.textureCoordinates.size();
    }
    const ImportedAnimationClip& first = level.clips.front();
    return first.frameCount == 0 ? 0 : first.positions.size() / first.frameCount;
}

size_t ImportedCharacterAsset::TriangleCount(size_t lod) const {
    return lod < lods.size() ? lods[lod].indices.size() / 3 : 0;
}

namespace {
const std::filesystem::path& CharacterFolder() {
    static const std::filesystem::path folder =
        std::filesystem::path(L"assets") / L"runtime" / L"characters" / L"rozizodivo_biped";
    return folder;
}

std::filesystem::path DiscoverOrRelative(const std::filesystem::path& relative) {
    try {
        return detail::DiscoverUpward(relative);
    } catch (...) {
        return relative;
    }
}
}  // namespace

std::filesystem::path DiscoverRozizodivoRuntimeAsset() {
    return DiscoverOrRelative(CharacterFolder() / L"rozizodivo_biped.tarvomesh");
}

std::filesystem::path DiscoverRozizodivoRollbackAsset() {
    return DiscoverOrRelative(CharacterFolder() / L"rollback" / L"0.0.03" / L"rozizodivo_biped_0.0.03.tarvomesh");
}

}  // namespace tarvo::presentation
