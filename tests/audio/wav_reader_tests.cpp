#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/wav_reader.h"

namespace tarvo::audio {
namespace {

struct Wav {
    std::vector<uint8_t> bytes;
    Wav() { Text("RIFF").U32(0).Text("WAVE"); }
    Wav& Text(const char* t) {
        for (; *t != 0; ++t) {
            bytes.push_back(static_cast<uint8_t>(*t));
        }
        return *this;
    }
    Wav& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
        return *this;
    }
    Wav& U16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Wav& Fmt(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 48000, uint16_t bits = 16, uint32_t size = 16) {
        Text("fmt ").U32(size).U16(tag).U16(channels).U32(rate).U32(rate * channels * bits / 8);
        U16(static_cast<uint16_t>(channels * bits / 8)).U16(bits);
        for (uint32_t i = 16; i < size; ++i) {
            bytes.push_back(0);
        }
        return *this;
    }
    Wav& Data(uint32_t count, uint8_t value = 0x11) {
        Text("data").U32(count);
        bytes.insert(bytes.end(), count, value);
        if (count % 2) {
            bytes.push_back(0);
        }
        return *this;
    }
    Wav& Chunk(const char* id, uint32_t count) {
        Text(id).U32(count);
        bytes.insert(bytes.end(), count + (count % 2), 0);
        return *this;
    }
};

bool Accepts(const Wav& wav, std::vector<uint8_t>* samples = nullptr) {
    std::vector<uint8_t> out;
    const bool ok = ReadWeaponWav(wav.bytes, out);
    EXPECT_EQ(ok, !out.empty());
    if (samples != nullptr) {
        *samples = out;
    }
    return ok;
}

TEST(WeaponWav, AcceptsMonoPcm48k16Bit) {
    std::vector<uint8_t> samples;
    EXPECT_TRUE(Accepts(Wav().Fmt().Data(8), &samples));
    EXPECT_EQ(samples, std::vector<uint8_t>(8, 0x11));
    // Extra chunks are skipped, order does not matter, an 18-byte format chunk is fine.
    EXPECT_TRUE(Accepts(Wav().Chunk("LIST", 5).Data(4).Fmt(1, 1, 48000, 16, 18)));
}

TEST(WeaponWav, RefusesOtherFormats) {
    EXPECT_FALSE(Accepts(Wav().Fmt(1, 1, 44100).Data(8)));
    EXPECT_FALSE(Accepts(Wav().Fmt(1, 2).Data(8)));
    EXPECT_FALSE(Accepts(Wav().Fmt(1, 1, 48000, 8).Data(8)));
    EXPECT_FALSE(Accepts(Wav().Fmt(3).Data(8)));       // float samples
    EXPECT_FALSE(Accepts(Wav().Fmt().Data(7)));        // odd data length
    EXPECT_FALSE(Accepts(Wav().Fmt().Data(0)));        // no samples
    EXPECT_FALSE(Accepts(Wav().Fmt()));                // no data chunk
    EXPECT_FALSE(Accepts(Wav().Data(8)));              // no format chunk
    EXPECT_FALSE(Accepts(Wav().Text("fmt ").U32(12).U32(0).U32(0).U32(0).Data(8)));  // short format chunk
}

TEST(WeaponWav, RefusesDamagedLayouts) {
    Wav notRiff = Wav().Fmt().Data(8);
    notRiff.bytes[0] = 'X';
    EXPECT_FALSE(Accepts(notRiff));
    Wav notWave = Wav().Fmt().Data(8);
    notWave.bytes[8] = 'X';
    EXPECT_FALSE(Accepts(notWave));
    // A chunk of up to 16 MiB is skipped; one claiming more is refused.
    EXPECT_TRUE(Accepts(Wav().Fmt().Chunk("junk", 16u * 1024u * 1024u).Data(8)));
    Wav huge = Wav().Fmt().Data(8);
    huge.Text("junk").U32(16u * 1024u * 1024u + 1u);
    EXPECT_FALSE(Accepts(huge));
    // A chunk running past the end of the file.
    Wav cut = Wav().Fmt().Data(8);
    cut.bytes.resize(cut.bytes.size() - 3);
    EXPECT_FALSE(Accepts(cut));
    std::vector<uint8_t> out;
    EXPECT_FALSE(ReadWeaponWav({}, out));
}

TEST(WeaponWav, LaterChunksReplaceEarlierOnes) {
    std::vector<uint8_t> samples;
    EXPECT_TRUE(Accepts(Wav().Fmt().Data(4, 0x01).Data(6, 0x02), &samples));
    EXPECT_EQ(samples, std::vector<uint8_t>(6, 0x02));
    EXPECT_FALSE(Accepts(Wav().Fmt().Fmt(1, 2).Data(4)));
    EXPECT_TRUE(Accepts(Wav().Fmt(1, 2).Fmt().Data(4)));
}

}  // namespace
}  // namespace tarvo::audio
