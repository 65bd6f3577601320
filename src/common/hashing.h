#pragma once

#include <filesystem>
#include <string>

namespace tarvo::distribution {

// SHA-256 of the file as 64 upper-case hex digits, in constant memory. Empty with `error` set when the
// file cannot be opened or read to its end, or the system's hash provider fails.
std::string Sha256File(const std::filesystem::path& path, std::wstring& error);

}  // namespace tarvo::distribution
