#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gameplay/vec3.h"

namespace tarvo::presentation {

struct ImportedTextureCoordinate {
    float u = 0.0f;
    float v = 0.0f;
};

// One texture level: width x height RGBA pixels, rows top first, no padding.
struct ImportedTextureMip {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

struct ImportedAnimationClip {
    std::string name;
    float durationSeconds = 0.0f;
    uint32_t frameCount = 0;
    std::vector<gameplay::Vec3> positions;  // frameCount x vertexCount, frame-major
};

struct ImportedCharacterLod {
    float maxDistance = 0.0f;  // farthest camera distance this LOD serves
    std::vector<ImportedTextureCoordinate> textureCoordinates;  // empty for version 1
    std::vector<uint32_t> indices;  // triangle list
    std::vector<ImportedAnimationClip> clips;
};

// Three character-local points (y up, before the character's yaw): the weapon grip,
// the supporting hand, and a third point carried along.
struct ImportedAttachmentPose {
    float values[9] = {};
};

struct ImportedAttachmentClip {
    std::string name;
    float durationSeconds = 0.0f;
    std::vector<ImportedAttachmentPose> poses;  // one per frame
};

// The opponent biped as pre-baked vertex animation ("TRVMESH1".."TRVMESH3").
// Every load checks every count, bound and (from version 2) every float before it
// accepts the file, never allocates more than the file can hold, and never throws.
class ImportedCharacterAsset {
public:
    bool Load(const std::filesystem::path& path);  // resets first
    // The runtime file, else the rollback file (UsedRollback() then true).
    bool LoadWithRollback(const std::filesystem::path& runtime, const std::filesystem::path& rollback);
    void Reset();

    bool Ready() const;  // LOD 0 exists with indices and at least one clip
    bool HasClip(std::string_view clip) const;
    // One frame's vertex positions (character-local, feet at the origin, +z forward);
    // time wraps at the clip's duration, frames are held. Empty when it cannot sample.
    std::span<const gameplay::Vec3> Sample(std::string_view clip, float seconds, size_t lod) const;
    std::optional<ImportedAttachmentPose> SampleAttachments(std::string_view clip, float seconds) const;
    std::span<const uint32_t> Indices(size_t lod) const;
    std::span<const ImportedTextureCoordinate> TextureCoordinates(size_t lod) const;
    std::span<const ImportedTextureMip> TextureMips() const { return textureMips; }
    size_t LodCount() const { return lods.size(); }
    size_t LodForDistance(float meters) const;  // first LOD whose maxDistance >= meters, else the last
    size_t VertexCount(size_t lod) const;
    size_t TriangleCount(size_t lod) const;
    float HeightMeters() const { return heightMeters; }
    int FormatVersion() const { return static_cast<int>(formatVersion); }
    bool UsedRollback() const { return usedRollback; }
    bool Textured() const { return !textureMips.empty() && (baseColor & 1u) != 0; }
    const std::string& SourceHashHex() const { return sourceHashHex; }
    const std::string& TextureHashHex() const { return textureHashHex; }
    const std::wstring& Status() const { return status; }

private:
    friend class CharacterFileReader;

    std::vector<ImportedCharacterLod> lods;
    std::vector<ImportedTextureMip> textureMips;
    std::vector<ImportedAttachmentClip> attachmentClips;
    float heightMeters = 0.0f;
    uint32_t formatVersion = 0;
    uint8_t baseColor = 0;
    bool usedRollback = false;
    std::string sourceHashHex;
    std::string textureHashHex;
    std::wstring status = L"NOT LOADED";
};

// "assets/runtime/characters/rozizodivo_biped/rozizodivo_biped.tarvomesh" searched
// upward from the executable's folder; a path is always returned.
std::filesystem::path DiscoverRozizodivoRuntimeAsset();
// The rollback copy under ".../rozizodivo_biped/rollback/0.0.03/", found the same way.
std::filesystem::path DiscoverRozizodivoRollbackAsset();

}  // namespace tarvo::presentation
