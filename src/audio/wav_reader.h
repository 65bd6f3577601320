#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarvo::audio {

// Sample bytes of a weapon sound file: RIFF/WAVE, PCM, mono, 48000 Hz, 16-bit.
// Returns false (and leaves samples empty) for anything else: wrong layout, other
// format, a chunk above 16 MiB, no data or an odd data length.
bool ReadWeaponWav(std::span<const uint8_t> file, std::vector<uint8_t>& samples);

}  // namespace tarvo::audio
