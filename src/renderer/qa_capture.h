#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvo::renderer {

// Writes one captured frame as a 32-bit top-down BMP (pixels B, G, R, 255).
// pixels holds height rows of 4-byte pixels, row y at pixels + rowPitch * y; bgr
// tells whether a source pixel is B, G, R, A (true) or R, G, B, A (false); the
// source alpha is ignored. Missing folders are created. False when nothing could be
// written completely; a partly written file is removed.
bool WriteQaFrame(const std::filesystem::path& file, uint32_t width, uint32_t height, const void* pixels,
                  uint32_t rowPitch, bool bgr);

// Same, with the path given as UTF-8 (the overlay's capture path). An invalid UTF-8
// path is refused.
bool WriteQaFrameUtf8(const std::string& utf8Path, uint32_t width, uint32_t height, const void* pixels,
                      uint32_t rowPitch, bool bgr);

}  // namespace tarvo::renderer
