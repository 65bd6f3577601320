#pragma once
// The match credential: a coin-profile id and a token that the match service
// issues for a player key and the match server checks. Loaded on a worker thread
// at the start of an online match, cached per user under DPAPI.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::online {

struct MatchIdentity {
    std::wstring playerKey;
    std::string profileId;
    std::string token;            // secret; wiped when the record goes away
    std::uint64_t expiresAt = 0;  // seconds since 1970
    bool valid = false;

    MatchIdentity() = default;
    MatchIdentity(const MatchIdentity& other) = default;
    MatchIdentity(MatchIdentity&& other) noexcept;
    MatchIdentity& operator=(const MatchIdentity& other);
    MatchIdentity& operator=(MatchIdentity&& other) noexcept;
    ~MatchIdentity();

    void Wipe();  // forgets everything, zeroing the token first
};

// A cached credential is used while it has at least this long to run.
inline constexpr std::uint64_t kIdentityRenewSeconds = 60;

// UserStateRoot()/Online/match.identity.
std::filesystem::path MatchIdentityCachePath();

// The cached credential of `playerKey` when the file holds one for that key that
// has not expired at `nowUnix`; nothing on any other content.
std::optional<MatchIdentity> ReadMatchIdentityCache(const std::filesystem::path& file, std::wstring_view playerKey,
                                                    std::uint64_t nowUnix);
// Protects and writes a valid credential; false on failure.
bool SaveMatchIdentityCache(const std::filesystem::path& file, const MatchIdentity& identity);

// The credential from a reply of the profile endpoint; invalid unless the reply is
// a JSON object with a usable "profileId", "token" and an "expiresAt" after `nowUnix`.
MatchIdentity ParseMatchIdentityReply(std::string_view body, std::wstring playerKey, std::uint64_t nowUnix);

// Cached, else fetched from `serviceUrl` ("/api/matches/profile.php") and cached.
// Blocking. Invalid (valid false) when neither works.
MatchIdentity LoadMatchIdentity(std::wstring playerKey, const std::wstring& serviceUrl,
                                const std::filesystem::path& cacheFile);

// The same with the configured match service and the per-user cache.
MatchIdentity LoadMatchIdentity(std::wstring playerKey);

}  // namespace tarvo::online
