#include "shell/account_replies.h"

#include <windows.h>

#include <climits>
#include <limits>
#include <optional>

#include "account/json_reader.h"

namespace tarvo::ui {
namespace {

constexpr wchar_t kInvalidUtf8[] = L"INVALID UTF-8 RESPONSE";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Quoted(std::string_view key) {
    std::string needle;
    needle.reserve(key.size() + 2);
    needle.push_back('"');
    needle.append(key);
    needle.push_back('"');
    return needle;
}

struct Member {
    size_t name = std::string_view::npos;   // the opening quote of the member's name
    size_t value = std::string_view::npos;  // just past the colon
};

// The first occurrence of the quoted key, at or after `from`, that stands where a member
// name can stand: after '{' or ',' and optional blanks, followed by optional blanks and a
// colon. Inside a string value every quote is escaped, so text there never matches.
Member FindMember(std::string_view json, std::string_view key, size_t from = 0) {
    const std::string needle = Quoted(key);
    for (size_t at = json.find(needle, from); at != std::string_view::npos; at = json.find(needle, at + 1)) {
        size_t before = at;
        while (before > 0 && IsBlank(json[before - 1])) --before;
        if (before == 0 || (json[before - 1] != '{' && json[before - 1] != ',')) continue;
        size_t after = at + needle.size();
        while (after < json.size() && IsBlank(json[after])) ++after;
        if (after < json.size() && json[after] == ':') return {at, after + 1};
    }
    return {};
}

// Walks object by object, anchored on the object's first member; calls make(extent)
// for each and stops at limit rows or an object without a closing brace. The extent
// starts at the delimiter before the anchor so the anchor itself reads as a member.
template <typename Row, typename Make>
std::vector<Row> ParseRows(std::string_view json, std::string_view anchorKey, size_t limit, Make make) {
    std::vector<Row> rows;
    size_t offset = 0;
    while (offset < json.size()) {
        const Member anchor = FindMember(json, anchorKey, offset);
        if (anchor.name == std::string_view::npos) break;
        if (rows.size() >= limit) break;
        const size_t close = json.find('}', anchor.name);
        if (close == std::string_view::npos) break;
        size_t start = anchor.name;
        while (start > 0 && json[start - 1] != '{' && json[start - 1] != ',') --start;
        make(json.substr(start - 1, close - start + 2), rows);
        offset = close + 1;
    }
    return rows;
}

// The member written as "key":true or "key": true (exactly that; any other form is false).
bool FlagIsTrue(std::string_view extent, std::string_view key) {
    const Member member = FindMember(extent, key);
    if (member.name == std::string_view::npos) return false;
    const size_t colon = member.name + key.size() + 2;
    if (member.value != colon + 1) return false;  // blanks before the colon
    const std::string_view rest = extent.substr(member.value);
    return rest.substr(0, 4) == "true" || rest.substr(0, 5) == " true";
}

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return kInvalidUtf8;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           nullptr, 0);
    if (length <= 0) return kInvalidUtf8;
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

std::wstring JsonString(std::string_view json, std::string_view key, std::wstring_view fallback) {
    const Member member = FindMember(json, key);
    if (member.value == std::string_view::npos) return std::wstring(fallback);
    size_t open = member.value;
    while (open < json.size() && IsBlank(json[open])) ++open;
    if (open >= json.size() || json[open] != '"') return std::wstring(fallback);  // not a string member
    size_t close = open + 1;
    while (close < json.size() && json[close] != '"') close += json[close] == '\\' ? 2 : 1;
    if (close >= json.size()) return std::wstring(fallback);
    const std::string_view raw = json.substr(open + 1, close - open - 1);
    // Escapes are ASCII, so the text is checked as UTF-8 first and unescaped after.
    const std::wstring decoded = DecodeUtf8(raw);
    if (!raw.empty() && decoded == kInvalidUtf8) return decoded;
    std::optional<std::wstring> text = account::UnescapeServiceText(decoded);
    return text ? std::move(*text) : std::wstring(fallback);
}

std::uint64_t JsonUnsigned(std::string_view json, std::string_view key) {
    return FindJsonUnsigned(json, key).value_or(0);
}

std::optional<std::uint64_t> FindJsonUnsigned(std::string_view json, std::string_view key) {
    const Member member = FindMember(json, key);
    if (member.value == std::string_view::npos) return std::nullopt;
    size_t i = member.value;
    while (i < json.size() && (json[i] == ' ' || (json[i] >= '\t' && json[i] <= '\r'))) ++i;
    if (i >= json.size() || json[i] < '0' || json[i] > '9') return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (; i < json.size() && json[i] >= '0' && json[i] <= '9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(json[i] - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

std::vector<ServerDeviceRow> ParseServerDevices(std::string_view json) {
    return ParseRows<ServerDeviceRow>(json, "deviceId", 6, [](std::string_view extent, auto& rows) {
        ServerDeviceRow row;
        row.deviceId = JsonString(extent, "deviceId", L"");  // not a string: no row, so no revoke of "NONE"
        row.displayName = JsonString(extent, "displayName", L"NONE");
        row.lastSeenAt = JsonString(extent, "lastSeenAt", L"NONE");
        row.trustedAt = JsonString(extent, "trustedAt", L"NONE");
        row.clientVersion = JsonString(extent, "clientVersion", L"NONE");
        row.current = FlagIsTrue(extent, "current");
        if (!row.deviceId.empty()) rows.push_back(std::move(row));
    });
}

std::vector<LivePlayerRow> ParseLivePlayers(std::string_view json) {
    return ParseRows<LivePlayerRow>(json, "playerId", 8, [](std::string_view extent, auto& rows) {
        LivePlayerRow row;
        row.playerId = JsonString(extent, "playerId", L"NONE");
        row.nickname = JsonString(extent, "nickname", L"NONE");
        row.accountState = JsonString(extent, "accountState", L"NONE");
        row.createdAt = JsonString(extent, "createdAt", L"NONE");
        row.lastSeen = JsonString(extent, "lastSeen", L"NONE");
        row.clientVersion = JsonString(extent, "clientVersion", L"NONE");
        row.trustedDevices = std::to_wstring(JsonUnsigned(extent, "trustedDevices"));
        row.verified = FlagIsTrue(extent, "verified");
        rows.push_back(std::move(row));
    });
}

}  // namespace tarvo::ui
