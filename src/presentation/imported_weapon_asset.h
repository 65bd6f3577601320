#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "gameplay/vec3.h"

namespace tarvo::presentation {

// Vertex of the rifle file, the arsenal meshes and the first-person arms (24 bytes,
// laid out as in the "TRVWPN01" file).
struct ImportedWeaponVertex {
    gameplay::Vec3 position{};
    gameplay::Color3 color{};
};
static_assert(sizeof(ImportedWeaponVertex) == 24);

// The owned rifle model: an unindexed, vertex-coloured triangle list.
// Load never throws; a failed load leaves the asset empty with a status text.
class ImportedWeaponAsset {
public:
    bool Load(const std::filesystem::path& path);
    void Reset();
    bool Ready() const { return !vertices.empty(); }
    std::span<const ImportedWeaponVertex> Vertices() const { return vertices; }
    size_t TriangleCount() const { return vertices.size() / 3; }
    const std::string& SourceHashHex() const { return sourceHashHex; }
    const std::wstring& Status() const { return status; }

private:
    std::vector<ImportedWeaponVertex> vertices;
    std::string sourceHashHex;
    std::wstring status = L"NOT LOADED";
};

// "assets/runtime/weapons/legacy-assault-rifle.tarvoweapon" searched upward from the
// executable's folder; a path is always returned.
std::filesystem::path DiscoverLegacyRifleRuntimeAsset();

}  // namespace tarvo::presentation
