#include "gameplay/file_input.h"

#include <fstream>
#include <system_error>

namespace tarvo::gameplay::detail {

std::optional<std::string> ReadFileCapped(const std::filesystem::path& file, std::size_t maxBytes) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > maxBytes) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    // The file may have grown since it was measured; never take more than the cap.
    if (in && in.peek() != std::ifstream::traits_type::eof()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace tarvo::gameplay::detail
