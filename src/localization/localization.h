#pragma once
// The shared two-language word table. A key missing from the current language shows as the key itself.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarvo::localization {

enum class Locale : std::uint32_t { Ukrainian = 0, English = 1 };  // "uk-UA" (default), "en-US"

class Localization {
public:
    Localization();  // both tables filled, Ukrainian

    void SetLocale(Locale locale) { this->locale = locale; }  // unchecked; any value but 0 reads English
    Locale CurrentLocale() const { return locale; }

    // Text of `key` in the current language (a view into the table), or `key` itself when missing.
    std::wstring_view Get(std::wstring_view key) const;
    bool Has(std::wstring_view key) const;

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::wstring_view key) const noexcept { return std::hash<std::wstring_view>{}(key); }
    };
    using Table = std::unordered_map<std::wstring, std::wstring, KeyHash, std::equal_to<>>;

    const Table& Current() const { return locale == Locale::Ukrainian ? ukrainian : english; }

    Locale locale = Locale::Ukrainian;
    Table ukrainian;
    Table english;  // declared last, freed first
};

}  // namespace tarvo::localization
