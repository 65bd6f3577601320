#include "common/environment.h"

#include <windows.h>

#include <vector>

namespace tarvo::distribution {

std::optional<std::wstring> EnvironmentOverride(const wchar_t* name) {
    constexpr DWORD kCapacity = 32768;
    std::vector<wchar_t> buffer(kCapacity, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, buffer.data(), kCapacity);
    // 0: unset or empty; kCapacity or more: too long for the buffer (the call reports the size it needs).
    if (length == 0 || length >= kCapacity) return std::nullopt;
    return std::wstring(buffer.data(), length);
}

}  // namespace tarvo::distribution
