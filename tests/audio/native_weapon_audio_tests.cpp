#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "audio/native_weapon_audio.h"
#include "support/temp_folder.h"

namespace tarvo::audio {
namespace {

// A temporary sound folder.
class TempRoot : public tarvo::testing::TempFolder {
public:
    // A mono 16-bit 48 kHz tone of the given length.
    void Sound(const std::wstring& name, double seconds, int rate = 48000, int channels = 1) const {
        const uint32_t frames = static_cast<uint32_t>(seconds * rate);
        const uint32_t dataBytes = frames * 2 * static_cast<uint32_t>(channels);
        std::ofstream out(Path() / name, std::ios::binary);
        auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("RIFF", 4);
        u32(36 + dataBytes);
        out.write("WAVEfmt ", 8);
        u32(16);
        u16(1);
        u16(static_cast<uint16_t>(channels));
        u32(static_cast<uint32_t>(rate));
        u32(static_cast<uint32_t>(rate * 2 * channels));
        u16(static_cast<uint16_t>(2 * channels));
        u16(16);
        out.write("data", 4);
        u32(dataBytes);
        for (uint32_t i = 0; i < frames * static_cast<uint32_t>(channels); ++i) {
            const auto s = static_cast<int16_t>(3000.0 * std::sin(i * 0.05));
            out.write(reinterpret_cast<const char*>(&s), 2);
        }
    }
};

bool NoEndpoint() { return false; }

TEST(WeaponAudioNames, CueNames) {
    EXPECT_EQ(WeaponCueName(WeaponCue::SHOT), L"SHOT");
    EXPECT_EQ(WeaponCueName(WeaponCue::RELOAD), L"RELOAD");
    EXPECT_EQ(WeaponCueName(WeaponCue::EMPTY), L"EMPTY");
    EXPECT_EQ(WeaponCueName(static_cast<WeaponCue>(7)), L"UNKNOWN");
}

TEST(WeaponAudioFiles, ShippedSoundsAreFoundAndComplete) {
    const auto root = DiscoverWeaponAudioRoot();
    EXPECT_TRUE(std::filesystem::exists(root / L"rifle-shot.wav")) << root.string();
    EXPECT_EQ(root.filename(), L"audio");
    NativeWeaponAudio audio;
    EXPECT_EQ(audio.Root(), root);
    for (int weapon = 0; weapon < 3; ++weapon) {
        EXPECT_EQ(audio.VariantCount(WeaponCue::SHOT, weapon), 3u) << weapon;
        EXPECT_EQ(audio.VariantCount(WeaponCue::RELOAD, weapon), 1u) << weapon;
        EXPECT_EQ(audio.VariantCount(WeaponCue::EMPTY, weapon), 1u) << weapon;
    }
    EXPECT_FALSE(audio.Available(WeaponCue::SHOT, 3));
    EXPECT_FALSE(audio.Available(WeaponCue::SHOT, -1));
    EXPECT_FALSE(audio.Available(static_cast<WeaponCue>(3), 0));
}

TEST(WeaponAudioFiles, MissingAndRefusedFilesAreSkipped) {
    TempRoot root;
    root.Sound(L"ak47-shot-2.wav", 0.05);
    root.Sound(L"ak47-reload.wav", 0.05, 44100);    // wrong rate
    root.Sound(L"smg9-empty.wav", 0.05, 48000, 2);  // stereo
    root.Sound(L"dmr12-empty.wav", 0.05);
    NativeWeaponAudio audio(root.Path(), WeaponAudioPlatform{L"xaudio2_9.dll", &NoEndpoint});
    EXPECT_EQ(audio.VariantCount(WeaponCue::SHOT, 0), 1u);
    EXPECT_FALSE(audio.Available(WeaponCue::RELOAD, 0));
    EXPECT_FALSE(audio.Available(WeaponCue::EMPTY, 1));
    EXPECT_TRUE(audio.Available(WeaponCue::EMPTY, 2));
    EXPECT_FALSE(audio.Available(WeaponCue::SHOT, 2));
}

TEST(WeaponAudioEngine, NotReadyWithoutAnEndpointOrLibrary) {
    TempRoot root;
    root.Sound(L"ak47-shot-1.wav", 0.05);
    for (const WeaponAudioPlatform platform :
         {WeaponAudioPlatform{L"xaudio2_9.dll", &NoEndpoint}, WeaponAudioPlatform{L"tarvo-no-such-audio.dll"}}) {
        NativeWeaponAudio audio(root.Path(), platform);
        EXPECT_FALSE(audio.Ready());
        EXPECT_TRUE(audio.Available(WeaponCue::SHOT, 0));  // files still count
        EXPECT_FALSE(audio.Trigger(WeaponCue::SHOT, 1.0f, 0, 0.0f));
        EXPECT_EQ(audio.LastVoice(), -1);
        EXPECT_FALSE(audio.InspectVoice(0).exists);
    }
}

class LiveAudio : public ::testing::Test {
protected:
    void SetUp() override {
        root.Sound(L"ak47-shot-1.wav", 2.0);
        root.Sound(L"ak47-shot-2.wav", 2.5);
        root.Sound(L"ak47-shot-3.wav", 1.75);
        root.Sound(L"smg9-reload.wav", 0.25);
        root.Sound(L"dmr12-shot-2.wav", 0.5);
        audio = std::make_unique<NativeWeaponAudio>(root.Path());
        ASSERT_TRUE(audio->Ready()) << "XAudio2 did not start on this machine";
    }
    // Bytes of a mono 16-bit 48 kHz sound of that length: tells the variants apart.
    static uint32_t Bytes(double seconds) { return static_cast<uint32_t>(seconds * 48000) * 2; }
    uint32_t Played() const { return audio->InspectVoice(audio->LastVoice()).soundBytes; }
    TempRoot root;
    std::unique_ptr<NativeWeaponAudio> audio;
};

TEST_F(LiveAudio, ShotVariantsTakeTurnsOnTheSerialEveryCueAdvances) {
    // Variant = submit serial mod the variant count; a reload moves the serial on too.
    const struct {
        WeaponCue cue;
        int weapon;
        double seconds;
    } plays[] = {{WeaponCue::SHOT, 0, 2.0},  {WeaponCue::SHOT, 0, 2.5},    {WeaponCue::SHOT, 0, 1.75},
                 {WeaponCue::SHOT, 0, 2.0},  {WeaponCue::RELOAD, 1, 0.25}, {WeaponCue::SHOT, 0, 1.75},
                 {WeaponCue::SHOT, 2, 0.5},  {WeaponCue::SHOT, 0, 2.5},    {WeaponCue::SHOT, 2, 0.5}};
    for (size_t i = 0; i < std::size(plays); ++i) {
        ASSERT_TRUE(audio->Trigger(plays[i].cue, 0.1f, plays[i].weapon, 0.0f)) << i;
        EXPECT_EQ(Played(), Bytes(plays[i].seconds)) << "play " << i;
    }
}

TEST_F(LiveAudio, VolumeIsClampedAndNonFiniteCountsAsZero) {
    const struct {
        float in;
        float expected;
    } cases[] = {{0.4f, 0.4f}, {3.0f, 1.0f}, {-2.0f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                 {std::numeric_limits<float>::infinity(), 0.0f}};
    for (const auto& c : cases) {
        ASSERT_TRUE(audio->Trigger(WeaponCue::SHOT, c.in, 0, 0.0f));
        const auto voice = audio->InspectVoice(audio->LastVoice());
        EXPECT_FLOAT_EQ(voice.volume, c.expected) << c.in;
    }
}

TEST_F(LiveAudio, PanIsConstantPowerAndClamped) {
    const float half = std::sqrt(0.5f);
    const struct {
        float pan;
        float left;
        float right;
    } cases[] = {{-1.0f, 1.0f, 0.0f}, {-5.0f, 1.0f, 0.0f}, {0.0f, half, half}, {1.0f, 0.0f, 1.0f},
                 {9.0f, 0.0f, 1.0f},  {std::numeric_limits<float>::quiet_NaN(), half, half}};
    for (const auto& c : cases) {
        ASSERT_TRUE(audio->Trigger(WeaponCue::RELOAD, 1.0f, 1, c.pan));
        const auto voice = audio->InspectVoice(audio->LastVoice());
        EXPECT_NEAR(voice.left, c.left, 1e-5f) << c.pan;
        EXPECT_NEAR(voice.right, c.right, 1e-5f) << c.pan;
        EXPECT_NEAR(voice.left * voice.left + voice.right * voice.right, 1.0f, 1e-5f);
    }
}

TEST_F(LiveAudio, PoolReusesTheOldestVoiceWhenAllAreBusy) {
    for (int i = 0; i < NativeWeaponAudio::kVoiceCount; ++i) {
        ASSERT_TRUE(audio->Trigger(WeaponCue::SHOT, 0.1f, 0, 0.0f));
        EXPECT_EQ(audio->LastVoice(), i);  // idle voices are taken in pool order
        EXPECT_GE(audio->LastSubmitMicroseconds(), 0.0);
    }
    for (int i = 0; i < NativeWeaponAudio::kVoiceCount; ++i) {
        const auto voice = audio->InspectVoice(i);
        EXPECT_EQ(voice.lastUse, static_cast<uint64_t>(i + 1));
        EXPECT_EQ(voice.buffersQueued, 1u) << "two-second sounds are still playing";
    }
    // The 33rd cuts off the voice used longest ago, and plays.
    ASSERT_TRUE(audio->Trigger(WeaponCue::SHOT, 0.1f, 0, 0.0f));
    EXPECT_EQ(audio->LastVoice(), 0);
    EXPECT_EQ(audio->InspectVoice(0).lastUse, 33u);
    // The engine drops the cut-off buffer on its next pass; the new one stays queued.
    for (int wait = 0; wait < 2000 && audio->InspectVoice(0).buffersQueued > 1; ++wait) {  // 10 s on a starved engine
        Sleep(5);
    }
    EXPECT_EQ(audio->InspectVoice(0).buffersQueued, 1u);
    ASSERT_TRUE(audio->Trigger(WeaponCue::SHOT, 0.1f, 0, 0.0f));
    EXPECT_EQ(audio->LastVoice(), 1);
}

TEST_F(LiveAudio, RefusedTriggers) {
    EXPECT_FALSE(audio->Trigger(WeaponCue::SHOT, 1.0f, 3, 0.0f));
    EXPECT_FALSE(audio->Trigger(WeaponCue::SHOT, 1.0f, -1, 0.0f));
    EXPECT_FALSE(audio->Trigger(static_cast<WeaponCue>(5), 1.0f, 0, 0.0f));
    EXPECT_FALSE(audio->Trigger(WeaponCue::EMPTY, 1.0f, 0, 0.0f));  // nothing loaded for it
    EXPECT_EQ(audio->LastVoice(), -1);
}

TEST(WeaponAudioEngine, ShippedSoundsPlay) {
    NativeWeaponAudio audio;
    ASSERT_TRUE(audio.Ready());
    for (int weapon = 0; weapon < 3; ++weapon) {
        for (const WeaponCue cue : {WeaponCue::SHOT, WeaponCue::RELOAD, WeaponCue::EMPTY}) {
            EXPECT_TRUE(audio.Trigger(cue, 0.5f, weapon, 0.0f)) << weapon;
        }
    }
}

}  // namespace
}  // namespace tarvo::audio
