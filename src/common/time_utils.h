#pragma once

#include <string>

namespace tarvo::distribution {

// Current UTC time as YYYY-MM-DDTHH:MM:SS.mmmZ (24 characters).
std::wstring UtcTimestamp();

// The same form from given fields (zero-padded; fields are not range-checked).
std::wstring FormatUtcTimestamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                                unsigned second, unsigned millisecond);

}  // namespace tarvo::distribution
