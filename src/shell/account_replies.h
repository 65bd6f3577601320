#pragma once
// Readers of the account service's JSON replies, without a JSON parser: one member
// is looked up by its key in the raw UTF-8 text, first match wins, and the
// structure of the text is not followed. Plus the two list rows the shell keeps.
#include <cstdint>
#include <optional>
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

// Both scanners take the first member named `key` at any depth. A key counts only
// where a member name stands (after '{' or ',' and optional blanks, then optional
// blanks and a colon), so text inside a string value never stands in for a member.

// The member's string value with its escapes decoded (\uXXXX and surrogate pairs
// included), as UTF-16 under the one rule for service texts (CleanServiceText);
// "INVALID UTF-8 RESPONSE" when its bytes are not UTF-8; fallback when the member is
// missing, is not a string or is cut off.
std::wstring JsonString(std::string_view json, std::string_view key, std::wstring_view fallback);

// The run of decimal digits after the member's colon and any white space; 0 when
// missing or not starting with a digit. Saturates at the largest 64-bit value.
std::uint64_t JsonUnsigned(std::string_view json, std::string_view key);

// The same number, or nothing when the member is missing or does not start with a
// digit, so a caller can tell an absent figure from a zero.
std::optional<std::uint64_t> FindJsonUnsigned(std::string_view json, std::string_view key);

// Strict UTF-8 to UTF-16; "INVALID UTF-8 RESPONSE" for an invalid sequence.
std::wstring DecodeUtf8(std::string_view bytes);

std::vector<ServerDeviceRow> ParseServerDevices(std::string_view json);  // at most 6
std::vector<LivePlayerRow> ParseLivePlayers(std::string_view json);      // at most 8

}  // namespace tarvo::ui
