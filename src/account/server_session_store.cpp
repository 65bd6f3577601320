#include "account/server_session.h"

#include <charconv>
#include <system_error>
#include <utility>
#include <vector>

#include "account/http_transport.h"
#include "auth/secure_storage.h"
#include "common/data_roots.h"
#include "common/file_utils.h"
#include "common/text_utils.h"

namespace tarvo::account {
namespace {

constexpr std::string_view kMagic = "TARVSS01";
constexpr std::size_t kLineCount = 9;  // magic + eight fields
// Every field comes from one account reply and escaping at most doubles it; the rest is
// DPAPI's own framing.
constexpr std::size_t kMaxFileBytes = 2 * kMaxReplyBytes + 64 * 1024;

// Line-safe form of a field: backslash, LF and CR are escaped so every field stays on one line.
// False when the text has no UTF-8 form.
bool AppendField(std::string& out, const std::wstring& value) {
    std::string utf8 = distribution::WideToUtf8(value);
    if (utf8.empty() && !value.empty()) return false;
    for (char c : utf8) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out.push_back(c);
        }
    }
    auth::Wipe(utf8);
    out.push_back('\n');
    return true;
}

bool ParseField(std::string_view line, std::wstring& value) {
    std::string utf8;
    auth::WipeOnExit wipe(utf8);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\r') return false;
        if (c != '\\') {
            utf8.push_back(c);
            continue;
        }
        if (++i >= line.size()) return false;
        switch (line[i]) {
            case '\\': utf8.push_back('\\'); break;
            case 'n': utf8.push_back('\n'); break;
            case 'r': utf8.push_back('\r'); break;
            default: return false;
        }
    }
    value = distribution::Utf8ToWide(utf8);
    return !value.empty() || utf8.empty();
}

}  // namespace

ServerSessionStore::ServerSessionStore(std::filesystem::path path) : path_(std::move(path)) {
    if (path_.empty()) path_ = distribution::UserStateRoot() / L"Auth" / L"server.session";
}

// server.session is a DPAPI blob (current user, entropy "TARVSS01") of UTF-8 text with exactly nine lines, each
// ended by LF: "TARVSS01", player id, nickname, e-mail, access token, refresh token, device id, access expiry in
// decimal seconds, trusted ("1" or "0"). Backslash, LF and CR inside a field are written as \\, \n and \r.
std::optional<ServerSession> ServerSessionStore::Load(std::wstring& error) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) {
        error = L"No stored account session.";
        return std::nullopt;
    }
    std::string blob;
    if (distribution::ReadWholeFile(path_, kMaxFileBytes, blob) == distribution::FileRead::TooLarge) {
        error = L"Stored account session is malformed.";
        return std::nullopt;
    }
    std::string plain;
    auth::WipeOnExit wipePlain(plain);
    if (!auth::UnprotectForUser(blob, kMagic, plain)) {
        error = L"Windows DPAPI could not unprotect the account session.";
        return std::nullopt;
    }

    std::vector<std::string_view> lines;
    std::string_view rest = plain;
    while (!rest.empty() && lines.size() <= kLineCount) {
        std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) break;  // the last line must be ended too
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    ServerSession session;
    std::uint32_t expiry = 0;
    bool valid = rest.empty() && lines.size() == kLineCount && lines[0] == kMagic &&
                 ParseField(lines[1], session.playerId) && ParseField(lines[2], session.nickname) &&
                 ParseField(lines[3], session.email) && ParseField(lines[4], session.accessToken) &&
                 ParseField(lines[5], session.refreshToken) && ParseField(lines[6], session.deviceId) &&
                 (lines[8] == "1" || lines[8] == "0") && !session.accessToken.empty() &&
                 !session.refreshToken.empty();
    if (valid) {
        std::string_view digits = lines[7];
        auto [end, result] = std::from_chars(digits.data(), digits.data() + digits.size(), expiry);
        valid = !digits.empty() && result == std::errc() && end == digits.data() + digits.size() &&
                digits.find_first_not_of("0123456789") == std::string_view::npos;
    }
    if (!valid) {
        auth::Wipe(session.accessToken);
        auth::Wipe(session.refreshToken);
        error = L"Stored account session is malformed.";
        return std::nullopt;
    }
    session.accessExpirySeconds = expiry;
    session.trusted = lines[8] == "1";
    return session;
}

bool ServerSessionStore::Save(const ServerSession& session, std::wstring& error) const {
    std::string plain;
    auth::WipeOnExit wipePlain(plain);
    plain.reserve(1024 + 6 * (session.accessToken.size() + session.refreshToken.size()));
    plain.append(kMagic);
    plain.push_back('\n');
    for (const std::wstring* field : {&session.playerId, &session.nickname, &session.email, &session.accessToken,
                                      &session.refreshToken, &session.deviceId}) {
        if (!AppendField(plain, *field)) {
            error = L"Protected account session could not be stored.";
            return false;
        }
    }
    plain += std::to_string(session.accessExpirySeconds);
    plain += session.trusted ? "\n1\n" : "\n0\n";

    std::string blob;
    if (!auth::ProtectForUser(plain, kMagic, blob)) {
        error = L"Windows DPAPI could not protect the account session.";
        return false;
    }
    std::wstring writeError;
    // Never write a file Load would refuse.
    if (blob.size() > kMaxFileBytes || !distribution::AtomicWriteUtf8(path_, blob, writeError)) {
        error = L"Protected account session could not be stored.";
        return false;
    }
    return true;
}

void ServerSessionStore::Clear() const {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

}  // namespace tarvo::account
