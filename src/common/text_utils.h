#pragma once
// Strict conversion between the program's wide text and the UTF-8 of files and the wire, and
// the one rule for texts that come from a service.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo::distribution {

// Empty when the input is empty, not valid UTF-8 or 2 GiB or longer. A leading BOM is kept as U+FEFF.
std::wstring Utf8ToWide(std::string_view bytes);

// Empty when the input is empty, holds an unpaired surrogate or is 2 Gi characters or longer.
std::string WideToUtf8(std::wstring_view text);

// What every text read from a service goes through before it is kept or drawn: control
// characters (U+0000..U+001F, U+007F..U+009F) and the line and paragraph separators are
// dropped, since a name or message is one line; a surrogate without its partner becomes
// U+FFFD. Every reader applies the same rule, so one name is stored and drawn alike.
std::wstring CleanServiceText(std::wstring_view text);

// At most maxUnits UTF-16 units of text, one fewer where the cut would keep the high half of a
// pair without its partner.
std::wstring_view CutUtf16(std::wstring_view text, std::size_t maxUnits);

}  // namespace tarvo::distribution
