#pragma once
// The Base64 text of a file, for the avatar uploads of the profile commands and of
// the account link.
#include <filesystem>
#include <string>

namespace tarvo::ui {

// Standard Base64 with padding on one line; empty when the file is empty, cannot be
// read, or holds more than 8 MiB.
std::string Base64File(const std::filesystem::path& file);

}  // namespace tarvo::ui
