#pragma once

#include <optional>
#include <string>

namespace tarvo::distribution {

// Value of an environment variable used as an override: present only when it has 1 to 32767 characters.
std::optional<std::wstring> EnvironmentOverride(const wchar_t* name);

}  // namespace tarvo::distribution
