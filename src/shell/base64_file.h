#pragma once
// The Base64 text of a file, for the avatar uploads of the profile commands and of
// the account link.
#include <filesystem>
#include <string>

namespace tarvo::ui {

// Standard Base64 with padding on one line; empty when the file is empty, cannot be
// read, or holds more than 8 MiB.
std::string Base64File(const std::filesystem::path& file);

// Base64File of the avatar image only when it lies inside the profile folder; else empty.
std::string AvatarUploadText(const std::filesystem::path& image, const std::filesystem::path& profileFolder);

}  // namespace tarvo::ui
