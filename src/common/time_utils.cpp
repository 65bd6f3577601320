#include "common/time_utils.h"

#include <windows.h>

#include <cwchar>

namespace tarvo::distribution {

std::wstring FormatUtcTimestamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                                unsigned second, unsigned millisecond) {
    wchar_t buffer[40] = {};
    const int written = std::swprintf(buffer, 40, L"%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", year, month, day, hour,
                                      minute, second, millisecond);
    return written > 0 ? std::wstring(buffer, static_cast<std::size_t>(written)) : std::wstring();
}

std::wstring UtcTimestamp() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    return FormatUtcTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                              now.wMilliseconds);
}

}  // namespace tarvo::distribution
