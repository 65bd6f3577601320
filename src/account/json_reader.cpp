#include "account/json_reader.h"

#include <limits>

#include "common/text_utils.h"

namespace tarvo::account {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Validator {
public:
    explicit Validator(std::string_view text) : t_(text) {}

    bool Document(bool objectOnly) {
        SkipBlanks();
        if (objectOnly && (p_ >= t_.size() || t_[p_] != '{')) return false;
        if (!Value(0)) return false;
        SkipBlanks();
        return p_ == t_.size();
    }

private:
    static constexpr int kMaxDepth = 64;

    void SkipBlanks() {
        while (p_ < t_.size() && IsBlank(t_[p_])) ++p_;
    }

    bool Literal(std::string_view word) {
        if (t_.substr(p_, word.size()) != word) return false;
        p_ += word.size();
        return true;
    }

    bool Digits() {
        std::size_t start = p_;
        while (p_ < t_.size() && t_[p_] >= '0' && t_[p_] <= '9') ++p_;
        return p_ > start;
    }

    bool Number() {
        if (p_ < t_.size() && t_[p_] == '-') ++p_;
        if (p_ < t_.size() && t_[p_] == '0') {
            ++p_;
        } else if (!Digits()) {
            return false;
        }
        if (p_ < t_.size() && t_[p_] == '.') {
            ++p_;
            if (!Digits()) return false;
        }
        if (p_ < t_.size() && (t_[p_] == 'e' || t_[p_] == 'E')) {
            ++p_;
            if (p_ < t_.size() && (t_[p_] == '+' || t_[p_] == '-')) ++p_;
            if (!Digits()) return false;
        }
        return true;
    }

    bool String() {
        ++p_;  // opening quote
        while (p_ < t_.size()) {
            unsigned char c = static_cast<unsigned char>(t_[p_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') continue;
            if (p_ >= t_.size()) return false;
            char e = t_[p_++];
            if (e == 'u') {
                for (int i = 0; i < 4; ++i) {
                    if (p_ >= t_.size() || HexValue(t_[p_++]) < 0) return false;
                }
            } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                return false;
            }
        }
        return false;
    }

    bool Value(int depth) {
        if (depth > kMaxDepth || p_ >= t_.size()) return false;
        switch (t_[p_]) {
            case '{': return Container(depth, '}', true);
            case '[': return Container(depth, ']', false);
            case '"': return String();
            case 't': return Literal("true");
            case 'f': return Literal("false");
            case 'n': return Literal("null");
            default: return Number();
        }
    }

    bool Container(int depth, char close, bool object) {
        ++p_;
        SkipBlanks();
        if (p_ < t_.size() && t_[p_] == close) {
            ++p_;
            return true;
        }
        while (true) {
            SkipBlanks();
            if (object) {
                if (p_ >= t_.size() || t_[p_] != '"' || !String()) return false;
                SkipBlanks();
                if (p_ >= t_.size() || t_[p_++] != ':') return false;
                SkipBlanks();
            }
            if (!Value(depth + 1)) return false;
            SkipBlanks();
            if (p_ >= t_.size()) return false;
            char c = t_[p_++];
            if (c == close) return true;
            if (c != ',') return false;
        }
    }

    std::string_view t_;
    std::size_t p_ = 0;
};

// End of the string starting at `open` (index of its closing quote), or npos.
std::size_t StringEnd(std::string_view t, std::size_t open) {
    for (std::size_t i = open + 1; i < t.size(); ++i) {
        if (t[i] == '\\') {
            ++i;
        } else if (t[i] == '"') {
            return i;
        }
    }
    return std::string_view::npos;
}

// Offset of the value of the first member named `key`, or npos.
std::size_t FindMemberValue(std::string_view t, std::string_view key) {
    char previous = '\0';  // last significant byte outside strings
    for (std::size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c == '"') {
            std::size_t end = StringEnd(t, i);
            if (end == std::string_view::npos) return std::string_view::npos;
            if ((previous == '{' || previous == ',') && t.substr(i + 1, end - i - 1) == key) {
                std::size_t k = end + 1;
                while (k < t.size() && IsBlank(t[k])) ++k;
                if (k < t.size() && t[k] == ':') {
                    ++k;
                    while (k < t.size() && IsBlank(t[k])) ++k;
                    return k;
                }
            }
            previous = '"';
            i = end;
        } else if (!IsBlank(c)) {
            previous = c;
        }
    }
    return std::string_view::npos;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool ReadHex4(std::string_view t, std::size_t at, std::uint32_t& value) {
    if (at + 4 > t.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        int h = HexValue(t[i]);
        if (h < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(h);
    }
    return true;
}

}  // namespace

bool IsJsonValue(std::string_view text) { return Validator(text).Document(false); }

bool IsJsonObject(std::string_view text) { return Validator(text).Document(true); }

std::optional<std::string> JsonMemberString(std::string_view json, std::string_view key) {
    std::size_t at = FindMemberValue(json, key);
    if (at == std::string_view::npos || json[at] != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = at + 1; i < json.size(); ++i) {
        char c = json[i];
        if (c == '"') return out;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i >= json.size()) return std::nullopt;
        switch (json[i]) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                std::uint32_t unit = 0;
                if (!ReadHex4(json, i + 1, unit)) return std::nullopt;
                i += 4;
                if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;  // low half without its high half
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    std::uint32_t low = 0;
                    if (i + 2 >= json.size() || json[i + 1] != '\\' || json[i + 2] != 'u' ||
                        !ReadHex4(json, i + 3, low) || low < 0xDC00 || low > 0xDFFF) {
                        return std::nullopt;
                    }
                    i += 6;
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, unit);
                break;
            }
            default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> UnescapeServiceText(std::wstring_view raw) {
    const auto hexUnit = [&](std::size_t at) -> int {
        if (at + 4 > raw.size()) return -1;
        int value = 0;
        for (std::size_t k = at; k < at + 4; ++k) {
            const wchar_t c = raw[k];
            const int digit = c < 0x80 ? HexValue(static_cast<char>(c)) : -1;
            if (digit < 0) return -1;
            value = value * 16 + digit;
        }
        return value;
    };
    std::wstring text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != L'\\') {
            text.push_back(raw[i]);
            continue;
        }
        if (++i >= raw.size()) return std::nullopt;
        switch (raw[i]) {
            case L'"': text.push_back(L'"'); break;
            case L'\\': text.push_back(L'\\'); break;
            case L'/': text.push_back(L'/'); break;
            case L'b': text.push_back(L'\b'); break;
            case L'f': text.push_back(L'\f'); break;
            case L'n': text.push_back(L'\n'); break;
            case L'r': text.push_back(L'\r'); break;
            case L't': text.push_back(L'\t'); break;
            case L'u': {
                const int unit = hexUnit(i + 1);
                if (unit < 0) return std::nullopt;
                text.push_back(static_cast<wchar_t>(unit));  // a lone half is mended below
                i += 4;
                break;
            }
            default: return std::nullopt;
        }
    }
    std::wstring clean = distribution::CleanServiceText(text);
    clean.resize(distribution::CutUtf16(clean, kMaxServiceTextUnits).size());
    return clean;
}

std::optional<std::wstring> JsonMemberText(std::string_view json, std::string_view key) {
    const std::size_t at = FindMemberValue(json, key);
    if (at == std::string_view::npos || json[at] != '"') return std::nullopt;
    const std::size_t end = StringEnd(json, at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view raw = json.substr(at + 1, end - at - 1);
    // Escapes are ASCII: the bytes are checked as UTF-8 first and unescaped after.
    const std::wstring wide = distribution::Utf8ToWide(raw);
    if (wide.empty() && !raw.empty()) return std::nullopt;
    return UnescapeServiceText(wide);
}

std::optional<std::uint64_t> JsonMemberUnsigned(std::string_view json, std::string_view key) {
    std::size_t at = FindMemberValue(json, key);
    if (at == std::string_view::npos || json[at] < '0' || json[at] > '9') return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (std::size_t i = at; i < json.size() && json[i] >= '0' && json[i] <= '9'; ++i) {
        std::uint64_t digit = static_cast<std::uint64_t>(json[i] - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

}  // namespace tarvo::account
