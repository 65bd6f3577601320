#pragma once
// Strict conversion between the program's wide text and the UTF-8 of files and the wire.

#include <string>
#include <string_view>

namespace tarvo::distribution {

// Empty when the input is empty, not valid UTF-8 or 2 GiB or longer. A leading BOM is kept as U+FEFF.
std::wstring Utf8ToWide(std::string_view bytes);

// Empty when the input is empty, holds an unpaired surrogate or is 2 Gi characters or longer.
std::string WideToUtf8(std::wstring_view text);

}  // namespace tarvo::distribution
