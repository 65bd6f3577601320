#include "online/match_identity.h"

#include <chrono>

#include "account/account_api_client.h"
#include "account/json_reader.h"
#include "auth/binary_record.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"
#include "common/text_utils.h"
#include "online/match_protocol.h"
#include "online/match_service.h"

namespace tarvo::online {
namespace {

// match.identity is a DPAPI blob (current user, entropy "TARVMI01") of a record:
// "TARVMI01", u32 version 1, the player key, profile id and token as strings,
// u64 expiry in seconds since 1970, and nothing after it.
constexpr std::string_view kMagic = "TARVMI01";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kMaxKeyBytes = 512;
constexpr std::size_t kMaxCacheBytes = 64 * 1024;

std::uint64_t UnixSeconds() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool Narrow(const std::wstring& wide, std::string& ascii) {
    ascii.clear();
    for (wchar_t c : wide) {
        if (c > 0x7E) return false;
        ascii.push_back(static_cast<char>(c));
    }
    return true;
}

bool Usable(const MatchIdentity& identity, std::uint64_t nowUnix) {
    return !identity.playerKey.empty() && protocol::ValidCredentialText(identity.profileId) &&
           protocol::ValidCredentialText(identity.token) && identity.expiresAt > nowUnix + kIdentityRenewSeconds;
}

}  // namespace

MatchIdentity::MatchIdentity(MatchIdentity&& other) noexcept
    : playerKey(std::move(other.playerKey)),
      profileId(std::move(other.profileId)),
      token(other.token),  // copied, so the source's bytes can be wiped where they are
      expiresAt(other.expiresAt),
      valid(other.valid) {
    other.Wipe();
}

MatchIdentity& MatchIdentity::operator=(const MatchIdentity& other) {
    if (this != &other) {
        Wipe();
        playerKey = other.playerKey;
        profileId = other.profileId;
        token = other.token;
        expiresAt = other.expiresAt;
        valid = other.valid;
    }
    return *this;
}

MatchIdentity& MatchIdentity::operator=(MatchIdentity&& other) noexcept {
    if (this != &other) {
        *this = static_cast<const MatchIdentity&>(other);
        other.Wipe();
    }
    return *this;
}

MatchIdentity::~MatchIdentity() { Wipe(); }

void MatchIdentity::Wipe() {
    auth::Wipe(token);
    playerKey.clear();
    profileId.clear();
    expiresAt = 0;
    valid = false;
}

std::filesystem::path MatchIdentityCachePath() {
    return distribution::UserStateRoot() / L"Online" / L"match.identity";
}

std::optional<MatchIdentity> ReadMatchIdentityCache(const std::filesystem::path& file, std::wstring_view playerKey,
                                                    std::uint64_t nowUnix) {
    std::string blob = distribution::ReadUtf8File(file, kMaxCacheBytes);
    if (blob.empty()) return std::nullopt;
    std::string plain;
    auth::WipeOnExit<std::string> wipePlain(plain);
    if (!auth::UnprotectForUser(blob, kMagic, plain)) return std::nullopt;

    auth::RecordReader reader(plain);
    std::string_view magic;
    std::uint32_t version = 0;
    MatchIdentity identity;
    std::wstring profile;
    std::wstring token;
    auth::WipeOnExit<std::wstring> wipeToken(token);
    if (!reader.Raw(kMagic.size(), magic) || magic != kMagic || !reader.U32(version) || version != kVersion ||
        !reader.WString(identity.playerKey, kMaxKeyBytes) || !reader.WString(profile, 2 * protocol::kMaxCredentialBytes) ||
        !reader.WString(token, 2 * protocol::kMaxCredentialBytes) || !reader.U64(identity.expiresAt) ||
        !reader.AtEnd()) {
        return std::nullopt;
    }
    if (identity.playerKey != playerKey) return std::nullopt;
    if (!Narrow(profile, identity.profileId) || !Narrow(token, identity.token)) return std::nullopt;
    if (!Usable(identity, nowUnix)) return std::nullopt;
    identity.valid = true;
    return identity;
}

bool SaveMatchIdentityCache(const std::filesystem::path& file, const MatchIdentity& identity) {
    if (!identity.valid || identity.playerKey.size() * 2 > kMaxKeyBytes) return false;
    auth::RecordWriter writer;
    auth::WipeOnExit<std::string> wipeRecord(writer.Data());
    writer.Raw(kMagic);
    writer.U32(kVersion);
    writer.WString(identity.playerKey);
    writer.WString(Widen(identity.profileId));
    std::wstring token = Widen(identity.token);
    writer.WString(token);
    auth::Wipe(token);
    writer.U64(identity.expiresAt);
    std::string blob;
    if (!auth::ProtectForUser(writer.Data(), kMagic, blob)) return false;
    std::wstring error;
    return distribution::AtomicWriteUtf8(file, blob, error);
}

MatchIdentity ParseMatchIdentityReply(std::string_view body, std::wstring playerKey, std::uint64_t nowUnix) {
    MatchIdentity identity;
    if (!account::IsJsonObject(body)) return identity;
    std::optional<std::string> profile = account::JsonMemberString(body, "profileId");
    std::optional<std::string> token = account::JsonMemberString(body, "token");
    const std::optional<std::uint64_t> expires = account::JsonMemberUnsigned(body, "expiresAt");
    if (profile && token && expires) {
        identity.playerKey = std::move(playerKey);
        identity.profileId = std::move(*profile);
        identity.token = *token;
        identity.expiresAt = *expires;
        identity.valid = Usable(identity, nowUnix);
    }
    if (token) auth::Wipe(*token);
    if (!identity.valid) identity.Wipe();
    return identity;
}

MatchIdentity LoadMatchIdentity(std::wstring playerKey, const std::wstring& serviceUrl,
                                const std::filesystem::path& cacheFile) {
    const std::uint64_t now = UnixSeconds();
    if (playerKey.empty() || playerKey.size() * 2 > kMaxKeyBytes) return {};
    if (std::optional<MatchIdentity> cached = ReadMatchIdentityCache(cacheFile, playerKey, now)) {
        return std::move(*cached);
    }
    const std::string key = distribution::WideToUtf8(playerKey);
    if (key.empty()) return {};
    const std::string body = "{\"playerKey\":\"" + account::AccountApiClient::JsonEscape(key) + "\"}";
    ServiceReply reply = MatchServiceRequest(serviceUrl, L"POST", kMatchProfilePath, body);
    auth::WipeOnExit<std::string> wipeReply(reply.body);
    if (!reply.answered || reply.status < 200 || reply.status > 299) return {};
    MatchIdentity identity = ParseMatchIdentityReply(reply.body, std::move(playerKey), now);
    // A credential that cannot be cached is still good for this match.
    if (identity.valid) SaveMatchIdentityCache(cacheFile, identity);
    return identity;
}

MatchIdentity LoadMatchIdentity(std::wstring playerKey) {
    return LoadMatchIdentity(std::move(playerKey), ConfiguredMatchServiceUrl(), MatchIdentityCachePath());
}

}  // namespace tarvo::online
