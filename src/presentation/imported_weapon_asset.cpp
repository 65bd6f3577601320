#include "presentation/imported_weapon_asset.h"

#include <cmath>
#include <cstring>

#include "presentation/asset_file.h"

namespace tarvo::presentation {
namespace {

constexpr wchar_t kMissing[] = L"OWNED RIFLE RUNTIME ASSET MISSING";
constexpr wchar_t kInvalid[] = L"OWNED RIFLE RUNTIME ASSET INVALID";
constexpr wchar_t kTruncated[] = L"OWNED RIFLE RUNTIME ASSET TRUNCATED";
constexpr wchar_t kReady[] = L"OWNED LEGACY ASSAULT RIFLE READY";

constexpr uint32_t kMinVertices = 3;
constexpr uint32_t kMaxVertices = 300000;

bool Finite(const ImportedWeaponVertex& v) {
    return std::isfinite(v.position.x) && std::isfinite(v.position.y) && std::isfinite(v.position.z) &&
           std::isfinite(v.color.r) && std::isfinite(v.color.g) && std::isfinite(v.color.b);
}

}  // namespace

void ImportedWeaponAsset::Reset() {
    vertices = {};
    sourceHashHex.clear();
    status = L"NOT LOADED";
}

bool ImportedWeaponAsset::Load(const std::filesystem::path& path) {
    try {
        Reset();
        detail::AssetFile file(path);
        if (!file.IsOpen()) {
            status = kMissing;
            return false;
        }
        char magic[8] = {};
        uint32_t version = 0;
        uint32_t vertexCount = 0;
        if (!file.Read(magic, sizeof(magic)) || !file.ReadValue(version) || !file.ReadValue(vertexCount) ||
            std::memcmp(magic, "TRVWPN01", 8) != 0 || version != 1 || vertexCount < kMinVertices ||
            vertexCount > kMaxVertices || vertexCount % 3 != 0) {
            status = kInvalid;
            return false;
        }
        uint8_t hash[32] = {};
        std::vector<ImportedWeaponVertex> loaded;
        if (!file.Read(hash, sizeof(hash)) || !detail::ReadBlock(file, loaded, vertexCount)) {
            Reset();
            status = kTruncated;
            return false;
        }
        for (const ImportedWeaponVertex& v : loaded) {
            if (!Finite(v)) {
                Reset();
                status = kTruncated;
                return false;
            }
        }
        sourceHashHex = detail::HexText(hash, sizeof(hash));
        vertices = std::move(loaded);
        status = kReady;
        return true;
    } catch (...) {
        // Only an allocation can throw here; the asset stays empty.
        Reset();
        status = kTruncated;
        return false;
    }
}

std::filesystem::path DiscoverLegacyRifleRuntimeAsset() {
    try {
        return detail::DiscoverUpward(std::filesystem::path(L"assets") / L"runtime" / L"weapons" /
                                      L"legacy-assault-rifle.tarvoweapon");
    } catch (...) {
        return std::filesystem::path(L"assets") / L"runtime" / L"weapons" / L"legacy-assault-rifle.tarvoweapon";
    }
}

}  // namespace tarvo::presentation
