#include "shell/account_replies.h"

#include <windows.h>

#include <climits>

namespace tarvo::ui {
namespace {

// Offset just past the colon that follows the key's first occurrence, or npos.
size_t ValueStart(std::string_view json, std::string_view key) {
    std::string needle;
    needle.reserve(key.size() + 2);
    needle.push_back('"');
    needle.append(key);
    needle.push_back('"');
    const size_t at = json.find(needle);
    if (at == std::string_view::npos) return std::string_view::npos;
    const size_t colon = json.find(':', at + needle.size());
    return colon == std::string_view::npos ? colon : colon + 1;
}

// "key": directly followed by true, or by one space and true.
bool FlagIsTrue(std::string_view extent, std::string_view key) {
    std::string needle = "\"";
    needle.append(key);
    needle.append("\":");
    const size_t at = extent.find(needle);
    if (at == std::string_view::npos) return false;
    std::string_view rest = extent.substr(at + needle.size());
    return rest.substr(0, 4) == "true" || rest.substr(0, 5) == " true";
}

// Walks object by object, anchored on the object's first member; calls make(extent)
// for each and stops at limit rows or an object without a closing brace.
template <typename Row, typename Make>
std::vector<Row> ParseRows(std::string_view json, std::string_view anchorKey, size_t limit, Make make) {
    std::vector<Row> rows;
    std::string anchor = "\"";
    anchor.append(anchorKey);
    anchor.push_back('"');
    size_t offset = 0;
    while (offset < json.size()) {
        const size_t at = json.find(anchor, offset);
        if (at == std::string_view::npos) break;
        if (rows.size() >= limit) break;
        const size_t close = json.find('}', at);
        if (close == std::string_view::npos) break;
        make(json.substr(at, close - at + 1), rows);
        offset = close + 1;
    }
    return rows;
}

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return L"INVALID UTF-8 RESPONSE";
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           nullptr, 0);
    if (length <= 0) return L"INVALID UTF-8 RESPONSE";
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

std::wstring JsonString(std::string_view json, std::string_view key, std::wstring_view fallback) {
    const size_t start = ValueStart(json, key);
    if (start == std::string_view::npos) return std::wstring(fallback);
    const size_t open = json.find('"', start);
    if (open == std::string_view::npos) return std::wstring(fallback);
    const size_t close = json.find('"', open + 1);
    if (close == std::string_view::npos) return std::wstring(fallback);
    return DecodeUtf8(json.substr(open + 1, close - open - 1));
}

std::uint64_t JsonUnsigned(std::string_view json, std::string_view key) {
    size_t i = ValueStart(json, key);
    if (i == std::string_view::npos) return 0;
    while (i < json.size() && (json[i] == ' ' || (json[i] >= '\t' && json[i] <= '\r'))) ++i;
    std::uint64_t value = 0;
    for (; i < json.size() && json[i] >= '0' && json[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(json[i] - '0');
    }
    return value;
}

std::vector<ServerDeviceRow> ParseServerDevices(std::string_view json) {
    return ParseRows<ServerDeviceRow>(json, "deviceId", 6, [](std::string_view extent, auto& rows) {
        ServerDeviceRow row;
        row.deviceId = JsonString(extent, "deviceId", L"NONE");
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
