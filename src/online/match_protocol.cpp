#include "online/match_protocol.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tarvo::online::protocol {
namespace {

// Fields of the longest message (SNAP with fifteen remote players) plus one, so a
// message with too many fields is seen as such.
constexpr std::size_t kMaxFields = 3 + 14 + 1 + kMaxRemotePlayers * 13 + 1;
constexpr std::size_t kLocalFields = 14;
constexpr std::size_t kRemoteFields = 13;

struct Fields {
    std::array<std::string_view, kMaxFields> items{};
    std::size_t count = 0;
};

// Splits on '|'; false when there are more fields than any message has.
bool Split(std::string_view bytes, Fields& fields) {
    fields.count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = bytes.find('|', start);
        if (fields.count == kMaxFields) return false;
        if (bar == std::string_view::npos) {
            fields.items[fields.count++] = bytes.substr(start);
            return true;
        }
        fields.items[fields.count++] = bytes.substr(start, bar - start);
        start = bar + 1;
    }
}

bool Integer(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return false;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
    }
    value = negative ? -magnitude : magnitude;
    return value >= low && value <= high;
}

template <typename T>
bool Int(std::string_view text, std::int64_t low, std::int64_t high, T& out) {
    std::int64_t value = 0;
    if (!Integer(text, low, high, value)) return false;
    out = static_cast<T>(value);
    return true;
}

bool Serial(std::string_view text, std::uint32_t& out) { return Int(text, 0, 0xFFFFFFFFll, out); }

bool Flag(std::string_view text, bool& out) {
    if (text == "0" || text == "1") {
        out = text == "1";
        return true;
    }
    return false;
}

// [-]digits[.digits], at most six digits on each side, within low..high.
bool Decimal(std::string_view text, float low, float high, float& out) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 6) return false;
    if (dot != std::string_view::npos && (fraction.empty() || fraction.size() > 6)) return false;
    double value = 0.0;
    for (char c : whole) {
        if (c < '0' || c > '9') return false;
        value = value * 10.0 + (c - '0');
    }
    double scale = 0.1;
    for (char c : fraction) {
        if (c < '0' || c > '9') return false;
        value += (c - '0') * scale;
        scale *= 0.1;
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    out = static_cast<float>(value);
    return true;
}

bool Nonce(std::string_view text, std::uint64_t& out) {
    if (text.size() != 16) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        std::uint64_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint64_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint64_t>(c - 'a' + 10);
        } else {
            return false;
        }
        value = (value << 4) | digit;
    }
    out = value;
    return true;
}

bool Name(std::string_view text, WireName& name) {
    std::size_t length = 0;
    if (!DecodeName(text, name.units.data(), name.units.size(), length)) return false;
    name.length = static_cast<std::uint8_t>(length);
    return true;
}

bool ParseLocal(const std::string_view* f, LocalRecord& r) {
    return Decimal(f[0], -64.0f, 64.0f, r.position.x) && Decimal(f[1], -16.0f, 48.0f, r.position.y) &&
           Decimal(f[2], -64.0f, 64.0f, r.position.z) && Decimal(f[3], 0.0f, 1000.0f, r.health) &&
           Flag(f[4], r.dead) && Flag(f[5], r.crouching) && Int(f[6], 0, 2, r.team) && Int(f[7], 0, 99999, r.kills) &&
           Int(f[8], 0, 99999, r.deaths) && Int(f[9], 0, 2, r.weapon) && Int(f[10], 0, 200, r.magazine) &&
           Int(f[11], 0, 9999, r.reserve) && Flag(f[12], r.reloading) && Int(f[13], 0, 1, r.fireMode);
}

bool ParseRemote(const std::string_view* f, RemoteRecord& r) {
    return Int(f[0], 1, 65535, r.id) && Int(f[1], 0, 2, r.team) && Int(f[2], 0, 2, r.weapon) &&
           Int(f[3], 0, 99999, r.kills) && Int(f[4], 0, 99999, r.deaths) && Serial(f[5], r.shots) &&
           Decimal(f[6], 0.0f, 1000.0f, r.health) && Flag(f[7], r.dead) &&
           Decimal(f[8], -64.0f, 64.0f, r.position.x) && Decimal(f[9], -16.0f, 48.0f, r.position.y) &&
           Decimal(f[10], -64.0f, 64.0f, r.position.z) && Decimal(f[11], -720.0f, 720.0f, r.yaw) &&
           Name(f[12], r.name);
}

bool ParseSnapshot(const Fields& fields, Snapshot& s) {
    constexpr std::size_t kHead = 3;  // tag, type, tick
    if (fields.count < kHead + kLocalFields + 1) return false;
    const std::string_view* f = fields.items.data();
    if (!Serial(f[2], s.tick) || !ParseLocal(f + kHead, s.local)) return false;
    if (!Int(f[kHead + kLocalFields], 0, kMaxRemotePlayers, s.count)) return false;
    const std::size_t first = kHead + kLocalFields + 1;
    if (fields.count != first + static_cast<std::size_t>(s.count) * kRemoteFields) return false;
    for (int i = 0; i < s.count; ++i) {
        if (!ParseRemote(f + first + static_cast<std::size_t>(i) * kRemoteFields, s.remotes[i])) return false;
        for (int j = 0; j < i; ++j) {
            if (s.remotes[j].id == s.remotes[i].id) return false;
        }
    }
    return true;
}

bool ParseReport(const Fields& fields, Report& r) {
    if (fields.count != 20) return false;
    const std::string_view* f = fields.items.data();
    auto& w = r.words;
    return Serial(f[2], r.serial) && Int(f[3], 0, 6, w[0]) && Int(f[4], 0, 2, w[1]) && Int(f[5], 0, 2, w[2]) &&
           Int(f[6], 0, 99999, w[3]) && Int(f[7], 0, 99999, w[4]) && Int(f[8], 0, 720, w[5]) &&
           Int(f[9], 0, 2, w[6]) && Int(f[10], 0, 65535, w[7]) && Int(f[11], 0, 999, w[8]) &&
           Int(f[12], 0, 1, w[9]) && Int(f[13], -99999, 99999, w[10]) && Int(f[14], 0, 25, w[11]) &&
           Int(f[15], 0, 2, w[12]) && Decimal(f[16], -1.0f, 1.0f, r.pointProgress) && Serial(f[17], r.localShots) &&
           Serial(f[18], r.shotResets) && Int(f[19], 1, 65535, r.playerId);
}

bool ParseEconomy(const Fields& fields, EconomyRecord& e) {
    if (fields.count != 9) return false;
    const std::string_view* f = fields.items.data();
    if (!Serial(f[2], e.serial) || !Int(f[3], 0, 9999999, e.coins) || !Int(f[4], 1, 7, e.ownedMask) ||
        !Int(f[5], 0, 2, e.selected) || !Flag(f[6], e.authenticated) || !Serial(f[7], e.purchaseAck)) {
        return false;
    }
    if (((e.ownedMask >> e.selected) & 1u) == 0) return false;
    const std::string_view message = f[8];
    if (message.empty() || message.size() > e.message.size()) return false;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if ((c < 'A' || c > 'Z') && c != '_') return false;
        e.message[i] = c;
    }
    e.messageLength = static_cast<std::uint8_t>(message.size());
    return true;
}

bool PrintableAscii(std::string_view text, char low) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < static_cast<unsigned char>(low) || byte > 0x7E || c == '|') return false;
    }
    return true;
}

}  // namespace

bool DecodeName(std::string_view bytes, wchar_t* out, std::size_t capacity, std::size_t& length) {
    length = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::uint32_t code = 0;
        std::size_t extra = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1Fu;
            extra = 1;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0Fu;
            extra = 2;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07u;
            extra = 3;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        i += extra + 1;
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return false;  // C0, DEL and C1 controls
        if (code >= 0x10000) {
            if (capacity - length < 2) return false;
            code -= 0x10000;
            out[length++] = static_cast<wchar_t>(0xD800 + (code >> 10));
            out[length++] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            if (length == capacity) return false;
            out[length++] = static_cast<wchar_t>(code);
        }
    }
    return true;
}

ServerKind ParseServerDatagram(std::string_view bytes, ServerDatagram& out) {
    out.kind = ServerKind::Invalid;
    if (bytes.empty() || bytes.size() > kMaxDatagramBytes) return ServerKind::Invalid;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return ServerKind::Invalid;
    }
    Fields fields;
    if (!Split(bytes, fields) || fields.count < 3 || fields.items[0] != kTag) return ServerKind::Invalid;
    const std::string_view type = fields.items[1];
    ServerKind kind = ServerKind::Invalid;
    if (type == "WELCOME") {
        if (fields.count == 4 && Nonce(fields.items[2], out.nonce) && Int(fields.items[3], 1, 65535, out.playerId)) {
            kind = ServerKind::Welcome;
        }
    } else if (type == "FULL") {
        if (fields.count == 3 && Nonce(fields.items[2], out.nonce)) kind = ServerKind::Full;
    } else if (type == "SNAP") {
        if (ParseSnapshot(fields, out.snapshot)) kind = ServerKind::Snapshot;
    } else if (type == "REPORT") {
        if (ParseReport(fields, out.report)) kind = ServerKind::Report;
    } else if (type == "ECON") {
        if (ParseEconomy(fields, out.economy)) kind = ServerKind::Economy;
    }
    out.kind = kind;
    return kind;
}

bool ValidJoinKey(std::string_view key) {
    return key.size() >= kMinJoinKeyBytes && key.size() <= kMaxJoinKeyBytes && PrintableAscii(key, 0x21);
}

bool ValidModeKey(std::string_view key) {
    if (key.empty() || key.size() > kMaxModeKeyBytes) return false;
    for (char c : key) {
        if ((c < 'a' || c > 'z') && (c < '0' || c > '9')) return false;
    }
    return true;
}

bool ValidCredentialText(std::string_view text) {
    if (text.empty() || text.size() > kMaxCredentialBytes) return false;
    for (char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '~' || c == '-';
        if (!ok) return false;
    }
    return true;
}

DatagramWriter::DatagramWriter(char* buffer, std::size_t capacity, std::string_view type)
    : buffer_(buffer), capacity_(capacity) {
    Append(kTag);
    Append("|");
    Append(type);
}

void DatagramWriter::Append(std::string_view bytes) {
    if (overflow_ || bytes.size() > capacity_ - length_) {
        overflow_ = true;
        return;
    }
    for (char c : bytes) buffer_[length_++] = c;
}

DatagramWriter& DatagramWriter::Text(std::string_view field) {
    Append("|");
    Append(field);
    return *this;
}

DatagramWriter& DatagramWriter::Integer(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return Text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

DatagramWriter& DatagramWriter::Decimal(float value) {
    if (!std::isfinite(value)) value = 0.0f;
    // Hundredths as an integer: no locale, no exponent, no "-0.00".
    const long long hundredths = std::llround(static_cast<double>(value) * 100.0);
    const long long magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    std::size_t n = 0;
    if (hundredths < 0) text[n++] = '-';
    const auto whole = std::to_chars(text + n, text + sizeof text, magnitude / 100);
    n = static_cast<std::size_t>(whole.ptr - text);
    text[n++] = '.';
    text[n++] = static_cast<char>('0' + (magnitude % 100) / 10);
    text[n++] = static_cast<char>('0' + magnitude % 10);
    return Text(std::string_view(text, n));
}

DatagramWriter& DatagramWriter::Nonce(std::uint64_t value) {
    char text[16];
    for (int i = 15; i >= 0; --i) {
        text[i] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    }
    return Text(std::string_view(text, 16));
}

std::string_view DatagramWriter::Finish() const {
    if (overflow_) return {};
    return {buffer_, length_};
}

std::string WireDisplayName(std::wstring_view name) {
    std::string out;
    std::size_t units = 0;
    for (std::size_t i = 0; i < name.size() && units < kMaxNameUnits; ++i) {
        std::uint32_t code = static_cast<std::uint16_t>(name[i]);
        std::size_t width = 1;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const bool paired = i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
            if (!paired) return {};  // unconvertible
            if (units + 2 > kMaxNameUnits) break;  // the pair would be split
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint16_t>(name[i + 1]) - 0xDC00);
            width = 2;
            ++i;
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return {};
        }
        units += width;
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == '|') code = '_';
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

}  // namespace tarvo::online::protocol
