#pragma once
// The account client's reader of service replies: a strict syntax check and member lookups without building
// a document. A member is matched only in member-name position (a quoted key after '{' or ',' and optional
// blanks, then optional blanks and ':'), so text inside a string value never stands in for a member. The first
// match at any depth wins.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::account {

// Exactly one JSON value (surrounding white space allowed), nested at most 64 levels.
bool IsJsonValue(std::string_view text);
bool IsJsonObject(std::string_view text);

// The member's string value with its escapes decoded (UTF-8); empty when the first match is not a string or
// holds an invalid escape.
std::optional<std::string> JsonMemberString(std::string_view json, std::string_view key);
// The member's string value as wide text, its escapes resolved and CleanServiceText applied; empty when the
// first match is not a string, is not UTF-8 or holds an invalid escape. For every text kept or shown.
std::optional<std::wstring> JsonMemberText(std::string_view json, std::string_view key);

// The longest text the stores keep (UTF-16 units, as the profile file's reader takes its texts back).
inline constexpr std::size_t kMaxServiceTextUnits = 32768;

// A JSON string's inner text (UTF-16, escapes still written out) with its escapes resolved and
// CleanServiceText applied, then cut to kMaxServiceTextUnits (never inside a surrogate pair); empty
// when an escape is unknown or cut off. Shared by every reader of replies, so a text is shown as it
// is stored.
std::optional<std::wstring> UnescapeServiceText(std::wstring_view raw);

// The member's leading decimal digits, saturating at the largest 64-bit value; empty when the first match does
// not start with a digit.
std::optional<std::uint64_t> JsonMemberUnsigned(std::string_view json, std::string_view key);

}  // namespace tarvo::account
