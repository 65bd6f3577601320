#include "release_control/command_envelope.h"

#include <windows.h>

#include <array>

#include "common/text_utils.h"

namespace tarvo::release_control {

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kOwnerKeyVersion = 1;

// UTF-8 of a payload text; false when it is too long or not convertible.
bool PayloadText(std::wstring_view text, std::string& utf8) {
    if (text.size() > kMaxCommandTextUnits) return false;
    if (text.empty()) {
        utf8.clear();
        return true;
    }
    utf8 = distribution::WideToUtf8(text);
    return !utf8.empty();
}

void WipeText(std::string& text) {
    SecureZeroMemory(text.data(), text.size());
    text.clear();
}

// Appends `utf8` JSON-escaped, without temporaries.
void AppendEscaped(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
}

// Builds one payload object member by member in a fixed order of keys. Payloads may
// hold passwords: the buffer is reserved once for the largest possible payload so it
// never moves (leaving copies behind), and every converted text is wiped after use.
class PayloadWriter {
public:
    explicit PayloadWriter(std::string_view type) {
        // 16 texts of at most 256 units, 3 UTF-8 bytes each, 6 bytes per escaped byte.
        text_.reserve(16 * (kMaxCommandTextUnits * 3 * 6 + 64) + 256);
        text_ += "{\"type\":\"";
        text_ += type;
        text_ += "\"";
    }
    ~PayloadWriter() { WipeText(text_); }
    PayloadWriter(const PayloadWriter&) = delete;
    PayloadWriter& operator=(const PayloadWriter&) = delete;

    PayloadWriter& Text(std::string_view key, std::wstring_view value) {
        Key(key);
        Quoted(value);
        return *this;
    }
    PayloadWriter& Ascii(std::string_view key, std::string_view value) {
        Key(key);
        text_ += '"';
        AppendEscaped(text_, value);
        text_ += '"';
        return *this;
    }
    PayloadWriter& Number(std::string_view key, std::uint64_t value) {
        Key(key);
        text_ += std::to_string(value);
        return *this;
    }
    PayloadWriter& OpenObject(std::string_view key) {
        Key(key);
        text_ += '{';
        firstInObject_ = true;
        return *this;
    }
    PayloadWriter& Member(std::string_view key, std::wstring_view value) {
        if (!firstInObject_) text_ += ',';
        firstInObject_ = false;
        text_ += '"';
        text_ += key;
        text_ += "\":";
        Quoted(value);
        return *this;
    }
    PayloadWriter& CloseObject() {
        text_ += '}';
        return *this;
    }

    // The payload, or empty when any text was refused.
    std::string Finish() {
        text_ += '}';
        if (failed_) return {};
        std::string result;
        result.reserve(text_.size());
        result.assign(text_);
        return result;
    }

private:
    void Key(std::string_view key) {
        text_ += ",\"";
        text_ += key;
        text_ += "\":";
    }
    void Quoted(std::wstring_view value) {
        std::string utf8;
        if (!PayloadText(value, utf8)) {
            failed_ = true;
            return;
        }
        text_ += '"';
        AppendEscaped(text_, utf8);
        text_ += '"';
        WipeText(utf8);
    }

    std::string text_;
    bool failed_ = false;
    bool firstInObject_ = true;
};

std::size_t Base64Length(std::size_t bytes) { return (bytes + 2) / 3 * 4; }

// Appends the Base64 of `bytes` to `out`, encoding in place: no temporary holds the text.
void AppendBase64(std::string& out, std::string_view bytes) {
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest == 1) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const unsigned v =
            (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += '=';
    }
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

bool IsReleaseAction(std::wstring_view action) {
    return action == L"check" || action == L"activate" || action == L"rollback" || action == L"finalize";
}

bool IsBackendAction(std::wstring_view action) {
    if (action.empty() || action.size() > 32) return false;
    for (wchar_t c : action) {
        if (!((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-')) return false;
    }
    return true;
}

std::string JsonEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 8);
    AppendEscaped(out, utf8);
    return out;
}

std::string ReleasePayload(std::string_view keyId, std::wstring_view action, std::wstring_view gameRelease,
                           std::wstring_view webRelease, std::uint64_t timestamp, std::wstring_view nonce) {
    return PayloadWriter("release")
        .Text("action", action)
        .Text("gameRelease", gameRelease)
        .Text("webRelease", webRelease)
        .Number("timestamp", timestamp)
        .Text("nonce", nonce)
        .Ascii("keyId", keyId)
        .Finish();
}

std::string BackendPayload(std::string_view keyId, std::wstring_view action, const BackendPrivateConfig* config,
                           std::wstring_view testEmail, std::uint64_t timestamp, std::wstring_view nonce) {
    PayloadWriter writer("backend");
    writer.Text("action", action).Number("timestamp", timestamp).Text("nonce", nonce).Ascii("keyId", keyId);
    if (config) {
        writer.OpenObject("config")
            .Member("databaseHost", config->databaseHost)
            .Member("databaseName", config->databaseName)
            .Member("databaseUser", config->databaseUser)
            .Member("databasePassword", config->databasePassword)
            .Member("mailDomain", config->mailDomain)
            .Member("smtpHost", config->smtpHost)
            .Member("smtpPort", config->smtpPort)
            .Member("smtpSecurity", config->smtpSecurity)
            .Member("smtpUser", config->smtpUser)
            .Member("smtpPassword", config->smtpPassword)
            .Member("fromName", config->fromName)
            .CloseObject();
    }
    if (!testEmail.empty()) writer.Text("testEmail", testEmail);
    return writer.Finish();
}

std::string AnnouncementPayload(std::string_view keyId, std::wstring_view audience, std::wstring_view message,
                                std::uint64_t timestamp, std::wstring_view nonce) {
    return PayloadWriter("backend")
        .Ascii("action", "announcement")
        .Number("timestamp", timestamp)
        .Text("nonce", nonce)
        .Ascii("keyId", keyId)
        .Text("audience", audience)
        .Text("message", message)
        .Finish();
}

std::string Envelope(std::string_view payload, const PublicKey& publicKey, const Signature& signature) {
    // The payload may carry passwords: the envelope is sized once and encoded in place, so no
    // temporary and no outgrown buffer is left holding its Base64 (the caller wipes the result).
    static constexpr std::string_view kParts[] = {"{\"envelope\":\"", "\",\"publicKey\":\"", "\",\"payload\":\"",
                                                  "\",\"signature\":\"", "\"}"};
    std::size_t size = kEnvelopeTag.size() + Base64Length(publicKey.size()) + Base64Length(payload.size()) +
                       Base64Length(signature.size());
    for (const std::string_view part : kParts) size += part.size();
    std::string envelope;
    envelope.reserve(size);
    envelope += kParts[0];
    envelope += kEnvelopeTag;
    envelope += kParts[1];
    AppendBase64(envelope, std::string_view(reinterpret_cast<const char*>(publicKey.data()), publicKey.size()));
    envelope += kParts[2];
    AppendBase64(envelope, payload);
    envelope += kParts[3];
    AppendBase64(envelope, std::string_view(reinterpret_cast<const char*>(signature.data()), signature.size()));
    envelope += kParts[4];
    return envelope;
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve(Base64Length(bytes.size()));
    AppendBase64(out, bytes);
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                v[k] = 0;
                ++padding;
            } else {
                if (padding > 0) return std::nullopt;  // data after padding
                v[k] = Base64Value(c);
                if (v[k] < 0) return std::nullopt;
            }
        }
        const unsigned bits = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
        out += static_cast<char>((bits >> 16) & 0xFF);
        if (padding < 2) out += static_cast<char>((bits >> 8) & 0xFF);
        if (padding < 1) out += static_cast<char>(bits & 0xFF);
        // Unused bits of the last group must be zero, so every text has one decoding.
        if ((padding == 1 && (v[2] & 3) != 0) || (padding == 2 && (v[1] & 15) != 0)) return std::nullopt;
    }
    return out;
}

std::string HexLower(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    return out;
}

std::string EncodeOwnerKeyFile(std::string_view protectedBlob) {
    std::string file(kOwnerKeyMagic);
    file += static_cast<char>(kOwnerKeyVersion);
    file += protectedBlob;
    return file;
}

std::optional<std::string> DecodeOwnerKeyFile(std::string_view file) {
    const size_t header = kOwnerKeyMagic.size() + 1;
    if (file.size() <= header) return std::nullopt;
    if (file.substr(0, kOwnerKeyMagic.size()) != kOwnerKeyMagic) return std::nullopt;
    if (static_cast<std::uint8_t>(file[kOwnerKeyMagic.size()]) != kOwnerKeyVersion) return std::nullopt;
    return std::string(file.substr(header));
}

std::wstring Fingerprint(std::string_view publicKeyHex) {
    std::wstring out;
    for (size_t i = 0; i < publicKeyHex.size() && i < 16; ++i) {
        if (i > 0 && i % 4 == 0) out += L' ';
        const char c = publicKeyHex[i];
        out += static_cast<wchar_t>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    }
    return out;
}

}  // namespace tarvo::release_control
