#include "common/text_utils.h"

#include <windows.h>

#include <climits>

namespace tarvo::distribution {

std::wstring Utf8ToWide(std::string_view bytes) {
    // The system takes 32-bit lengths; refuse rather than convert a truncated prefix.
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int input = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), input, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), input, result.data(), needed);
    if (written <= 0) return {};
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int input = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), input, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string result(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), input, result.data(), needed,
                                            nullptr, nullptr);
    if (written <= 0) return {};
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::wstring CleanServiceText(std::wstring_view text) {
    const auto high = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    std::wstring clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) continue;
        if (high(c) && i + 1 < text.size() && low(text[i + 1])) {
            clean.push_back(c);
            clean.push_back(text[++i]);
        } else if (high(c) || low(c)) {
            clean.push_back(L'\uFFFD');
        } else {
            clean.push_back(c);
        }
    }
    return clean;
}

std::wstring_view CutUtf16(std::wstring_view text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) return text;
    if (maxUnits == 0) return {};
    const bool pairCut = text[maxUnits - 1] >= 0xD800 && text[maxUnits - 1] <= 0xDBFF;
    return text.substr(0, maxUnits - (pairCut ? 1 : 0));
}

}  // namespace tarvo::distribution
