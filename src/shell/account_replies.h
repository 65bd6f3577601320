#pragma once
// Readers of the account service's JSON replies, without a JSON parser: one member
// is looked up by its key in the raw UTF-8 text, first match wins, and the
// structure of the text is not followed. Plus the two list rows the shell keeps.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::ui {

// One trusted device of the signed-in account.
struct ServerDeviceRow {
    std::wstring deviceId;
    std::wstring displayName;
    std::wstring lastSeenAt;
    std::wstring trustedAt;
    std::wstring clientVersion;
    bool current = false;  // the device that asked
};

// One player of the owner console's live player list.
struct LivePlayerRow {
    std::wstring playerId;
    std::wstring nickname;
    std::wstring accountState;
    std::wstring createdAt;
    std::wstring lastSeen;
    std::wstring clientVersion;
    std::wstring trustedDevices;  // a count, as decimal text
    bool verified = false;
};

// The raw text between the first quotes after the key's colon (escapes are not
// decoded), as UTF-16; fallback when the key, colon or quotes are missing.
std::wstring JsonString(std::string_view json, std::string_view key, std::wstring_view fallback);

// The run of decimal digits after the key's colon and any white space, in 64 bits
// without an overflow check; 0 when missing or not a digit.
std::uint64_t JsonUnsigned(std::string_view json, std::string_view key);

// Strict UTF-8 to UTF-16; "INVALID UTF-8 RESPONSE" for an invalid sequence.
std::wstring DecodeUtf8(std::string_view bytes);

std::vector<ServerDeviceRow> ParseServerDevices(std::string_view json);  // at most 6
std::vector<LivePlayerRow> ParseLivePlayers(std::string_view json);      // at most 8

}  // namespace tarvo::ui
