#include "player/local_player_data_store.h"

#include <windows.h>

#include <cmath>
#include <system_error>
#include <utility>

#include "auth/binary_record.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"
#include "common/text_utils.h"
#include "core/runtime_log.h"

namespace tarvo::player {
namespace {

using auth::RecordReader;
using auth::RecordWriter;

constexpr std::string_view kMagic = "TARVPL32";
constexpr std::uint32_t kVersion = 32;
constexpr std::size_t kMaxFieldBytes = 65536;
constexpr std::size_t kMaxFieldUnits = kMaxFieldBytes / sizeof(char16_t);
constexpr std::uintmax_t kMaxAvatarBytes = 10u * 1024u * 1024u;
// Many profiles with long texts fit; a larger file is not read into memory at all.
constexpr std::size_t kMaxFileBytes = 64u << 20;

InventoryItem DefaultWeapon() {
    InventoryItem item;
    item.id = kDefaultWeaponItemId;
    item.category = InventoryCategory::Weapons;
    item.nameUk = L"ШТУРМОВА ГВИНТІВКА";
    item.nameEn = L"ASSAULT RIFLE";
    item.typeLabelUk = L"ЗБРОЯ";
    item.typeLabelEn = L"WEAPON";
    item.status = InventoryStatus::Equipped;
    item.detailUk = L"30 / 120 • ЛОКАЛЬНИЙ PROTOTYPE";
    item.detailEn = L"30 / 120 • LOCAL PROTOTYPE";
    item.previewPath = L"inventory/rifle-preview.png";
    return item;
}

InventoryItem DefaultCharacter() {
    InventoryItem item;
    item.id = kDefaultCharacterItemId;
    item.category = InventoryCategory::Characters;
    item.nameUk = L"ROZIZODIVO";
    item.nameEn = L"ROZIZODIVO";
    item.typeLabelUk = L"ПЕРСОНАЖ";
    item.typeLabelEn = L"CHARACTER";
    item.status = InventoryStatus::Equipped;
    item.detailUk = L"TEXTURED • 4K • LOD0 80K";
    item.detailEn = L"TEXTURED • 4K • LOD0 80K";
    item.previewPath = L"inventory/rozizodivo-preview.png";
    return item;
}

// A text as the reader takes it back: at most kMaxFieldUnits units, never half a surrogate pair.
// Texts come from services and files; one too long for the reader must not make the file unreadable.
std::wstring_view Bounded(std::wstring_view text) { return distribution::CutUtf16(text, kMaxFieldUnits); }

void WriteProfile(RecordWriter& w, const LocalPlayerData& p) {
    const auto text = [&w](std::wstring_view value) { w.WString(Bounded(value)); };
    text(p.identity.playerKey);
    text(p.identity.displayName);
    text(p.identity.rankLabel);
    w.U32(p.identity.level);
    text(p.avatar.imagePath);
    text(p.avatar.avatarId);
    w.Bool(p.avatar.customImage);
    text(p.equipped.weaponId);
    text(p.equipped.characterId);
    w.U32(static_cast<std::uint32_t>(p.inventory.items.size()));
    for (const InventoryItem& item : p.inventory.items) {
        text(item.id);
        w.U32(static_cast<std::uint32_t>(item.category));
        text(item.nameUk);
        text(item.nameEn);
        text(item.typeLabelUk);
        text(item.typeLabelEn);
        w.U32(static_cast<std::uint32_t>(item.status));
        text(item.detailUk);
        text(item.detailEn);
        text(item.previewPath.generic_wstring());
    }
    const BotStats& s = p.botStats;
    for (std::uint64_t counter : {s.trainingsStarted, s.trainingsCompleted, s.kills, s.deaths, s.shotsFired,
                                  s.shotsHit, s.headshots}) {
        w.U64(counter);
    }
    w.F64(std::isfinite(s.playSeconds) && s.playSeconds > 0.0 ? s.playSeconds : 0.0);  // as the reader takes it
}

bool ReadProfile(RecordReader& r, LocalPlayerData& p) {
    std::uint32_t itemCount = 0;
    if (!(r.WString(p.identity.playerKey, kMaxFieldBytes) && r.WString(p.identity.displayName, kMaxFieldBytes) &&
          r.WString(p.identity.rankLabel, kMaxFieldBytes) && r.U32(p.identity.level) &&
          r.WString(p.avatar.imagePath, kMaxFieldBytes) && r.WString(p.avatar.avatarId, kMaxFieldBytes) &&
          r.Bool(p.avatar.customImage) && r.WString(p.equipped.weaponId, kMaxFieldBytes) &&
          r.WString(p.equipped.characterId, kMaxFieldBytes) && r.U32(itemCount))) {
        return false;
    }
    p.inventory.items.clear();
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        InventoryItem item;
        std::uint32_t category = 0, status = 0;
        std::wstring preview;
        if (!(r.WString(item.id, kMaxFieldBytes) && r.U32(category) && r.WString(item.nameUk, kMaxFieldBytes) &&
              r.WString(item.nameEn, kMaxFieldBytes) && r.WString(item.typeLabelUk, kMaxFieldBytes) &&
              r.WString(item.typeLabelEn, kMaxFieldBytes) && r.U32(status) &&
              r.WString(item.detailUk, kMaxFieldBytes) && r.WString(item.detailEn, kMaxFieldBytes) &&
              r.WString(preview, kMaxFieldBytes))) {
            return false;
        }
        item.category = static_cast<InventoryCategory>(category);
        item.status = static_cast<InventoryStatus>(status);
        item.previewPath = preview;
        p.inventory.items.push_back(std::move(item));
    }
    BotStats& s = p.botStats;
    bool read = r.U64(s.trainingsStarted) && r.U64(s.trainingsCompleted) && r.U64(s.kills) && r.U64(s.deaths) &&
                r.U64(s.shotsFired) && r.U64(s.shotsHit) && r.U64(s.headshots) && r.F64(s.playSeconds);
    return read && std::isfinite(s.playSeconds) && s.playSeconds >= 0.0;
}

// player.dat, all integers little-endian, strings as u32 byte length + UTF-16LE, flags as one byte 0/1:
//   "TARVPL32", u32 version 32, u32 profile count, then per profile:
//     player key, display name, rank label, u32 level,
//     avatar image path, avatar id, custom-image flag,
//     equipped weapon id, equipped character id,
//     u32 item count, per item: id, u32 category, name uk, name en, type uk, type en, u32 status,
//                               detail uk, detail en, preview path,
//     seven u64 counters (trainings started, completed, kills, deaths, shots fired, shots hit, headshots),
//     f64 play seconds;
//   then the SHA-256 of everything before it.
enum class FileState {
    Absent,
    Clean,
    Damaged,     // read, but not wholly: some profiles or none read
    Unreadable,  // there, but it could not be read now (sharing, access): nothing is known of it
};

// Every profile of a clean file. Of a damaged one (digest, length or structure wrong) the profiles that
// still read whole, in file order up to the first that does not: one bad byte must not cost the others.
FileState ReadProfiles(std::string_view bytes, std::vector<LocalPlayerData>& profiles) {
    std::string_view body;
    const bool digestOk = auth::VerifyDigest(bytes, body);
    if (!digestOk) body = bytes;  // the digest may be cut or wrong; read what stands before it
    RecordReader reader(body);
    std::string_view magic;
    std::uint32_t version = 0, count = 0;
    if (!reader.Raw(kMagic.size(), magic) || magic != kMagic || !reader.U32(version) || version != kVersion ||
        !reader.U32(count)) {
        return FileState::Damaged;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        LocalPlayerData profile;
        if (!ReadProfile(reader, profile)) return FileState::Damaged;
        profiles.push_back(std::move(profile));
    }
    return digestOk && reader.AtEnd() ? FileState::Clean : FileState::Damaged;
}

FileState ReadProfileFile(const std::filesystem::path& path, std::string& bytes,
                          std::vector<LocalPlayerData>& profiles) {
    switch (distribution::ReadWholeFile(path, kMaxFileBytes, bytes)) {
        case distribution::FileRead::Read: return ReadProfiles(bytes, profiles);
        case distribution::FileRead::Missing: return FileState::Absent;
        case distribution::FileRead::TooLarge: return FileState::Damaged;
        case distribution::FileRead::Failed: break;
    }
    return FileState::Unreadable;
}

bool WriteProfiles(const std::filesystem::path& path, const std::vector<LocalPlayerData>& profiles) {
    RecordWriter writer;
    writer.Raw(kMagic);
    writer.U32(kVersion);
    writer.U32(static_cast<std::uint32_t>(profiles.size()));
    for (const LocalPlayerData& profile : profiles) WriteProfile(writer, profile);
    if (!auth::AppendDigest(writer.Data())) return false;
    std::wstring error;
    return distribution::AtomicWriteUtf8(path, writer.Data(), error);
}

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
    return (std::uint32_t{static_cast<std::uint8_t>(b[at])} << 24) |
           (std::uint32_t{static_cast<std::uint8_t>(b[at + 1])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(b[at + 2])} << 8) | std::uint32_t{static_cast<std::uint8_t>(b[at + 3])};
}

std::uint32_t BigEndian16(std::string_view b, std::size_t at) {
    return (std::uint32_t{static_cast<std::uint8_t>(b[at])} << 8) | std::uint32_t{static_cast<std::uint8_t>(b[at + 1])};
}

std::uint32_t LittleEndian32(std::string_view b, std::size_t at) {
    return std::uint32_t{static_cast<std::uint8_t>(b[at])} | (std::uint32_t{static_cast<std::uint8_t>(b[at + 1])} << 8) |
           (std::uint32_t{static_cast<std::uint8_t>(b[at + 2])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(b[at + 3])} << 24);
}

std::uint32_t Magnitude(std::uint32_t bits) {  // |x| of a two's complement 32-bit value
    return (bits & 0x80000000u) ? (~bits + 1u) : bits;
}

// Walks the JPEG segments up to the first start-of-frame marker, which holds the size.
std::optional<ImageSize> JpegSize(std::string_view b) {
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (static_cast<std::uint8_t>(b[at]) != 0xFF) return std::nullopt;
        const auto marker = static_cast<std::uint8_t>(b[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // image data before any frame header
        const std::uint32_t length = BigEndian16(b, at + 2);
        if (length < 2) return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) return std::nullopt;
            return ImageSize{BigEndian16(b, at + 7), BigEndian16(b, at + 5)};
        }
        at += 2 + length;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ImageSize> ReadImageSize(std::string_view b) {
    if (b.size() >= 24 && b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8) && b.substr(12, 4) == "IHDR") {
        return ImageSize{BigEndian32(b, 16), BigEndian32(b, 20)};
    }
    if (b.size() >= 4 && static_cast<std::uint8_t>(b[0]) == 0xFF && static_cast<std::uint8_t>(b[1]) == 0xD8) {
        return JpegSize(b);
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (LittleEndian32(b, 14) == 12) {  // the old core header: 16-bit sizes
            return ImageSize{LittleEndian32(b, 18) & 0xFFFFu, LittleEndian32(b, 18) >> 16};
        }
        return ImageSize{Magnitude(LittleEndian32(b, 18)), Magnitude(LittleEndian32(b, 22))};
    }
    return std::nullopt;
}

LocalPlayerDataStore::LocalPlayerDataStore(std::filesystem::path path) : path_(std::move(path)) {
    if (path_.empty()) path_ = distribution::UserStateRoot() / L"Profile" / L"player.dat";
}

LocalPlayerData LocalPlayerDataStore::Defaults(std::wstring playerKey, std::wstring displayName) {
    LocalPlayerData profile;
    profile.identity.playerKey = std::move(playerKey);
    profile.identity.displayName = std::move(displayName);
    profile.inventory.items = {DefaultWeapon(), DefaultCharacter()};
    profile.equipped.weaponId = kDefaultWeaponItemId;
    profile.equipped.characterId = kDefaultCharacterItemId;
    return profile;
}

LocalPlayerData LocalPlayerDataStore::Load(std::wstring_view accountId, std::wstring_view displayName) const {
    std::string bytes;
    std::vector<LocalPlayerData> profiles;
    ReadProfileFile(path_, bytes, profiles);
    for (LocalPlayerData& profile : profiles) {
        if (profile.identity.playerKey == Bounded(accountId)) return std::move(profile);
    }
    return Defaults(std::wstring(accountId), std::wstring(displayName));
}

bool LocalPlayerDataStore::Save(const LocalPlayerData& profile) const {
    std::string bytes;
    std::vector<LocalPlayerData> profiles;
    const FileState state = ReadProfileFile(path_, bytes, profiles);
    if (state == FileState::Unreadable) return false;  // what it holds is unknown: it is not written over
    if (state == FileState::Damaged) {
        // Never written over unseen: the damaged file is kept beside it (the newest one), and the profiles
        // that still read go on into the new file.
        std::filesystem::path kept = path_;
        kept += L".damaged";
        if (!CopyFileW(path_.c_str(), kept.c_str(), FALSE)) return false;  // also a file too large to read
        core::Log().Write("PlayerDataDamaged Kept=" + distribution::WideToUtf8(kept.filename().wstring()) +
                          " Profiles=" + std::to_string(profiles.size()));
    }
    bool replaced = false;
    for (LocalPlayerData& stored : profiles) {
        if (stored.identity.playerKey == Bounded(profile.identity.playerKey)) {
            stored = profile;
            replaced = true;
            break;
        }
    }
    if (!replaced) profiles.push_back(profile);
    return WriteProfiles(path_, profiles);
}

bool LocalPlayerDataStore::ImportAvatar(LocalPlayerData& profile, const std::filesystem::path& imagePath) const {
    std::wstring extension = LowerAscii(imagePath.extension().wstring());
    if (extension != L".png" && extension != L".jpg" && extension != L".jpeg" && extension != L".bmp") return false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(imagePath, ec)) return false;
    std::uintmax_t size = std::filesystem::file_size(imagePath, ec);
    if (ec || size == 0 || size > kMaxAvatarBytes) return false;

    std::string bytes = distribution::ReadUtf8File(imagePath, kMaxAvatarBytes);
    if (bytes.empty() || bytes.size() > kMaxAvatarBytes) return false;  // changed or unreadable since the size check
    if (const auto size = ReadImageSize(bytes); size && (size->width > kMaxAvatarSide || size->height > kMaxAvatarSide)) {
        return false;
    }
    std::filesystem::path copy = ProfileFolder() / (L"avatar" + extension);
    std::wstring error;
    if (!distribution::AtomicWriteUtf8(copy, bytes, error)) return false;

    LocalPlayerData updated = profile;
    updated.avatar.imagePath = copy.wstring();
    updated.avatar.customImage = true;
    if (!Save(updated)) return false;
    profile = std::move(updated);
    return true;
}

}  // namespace tarvo::player
