#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace tarvo::audio {

enum class WeaponCue : uint32_t { SHOT = 0, RELOAD = 1, EMPTY = 2 };

// "SHOT", "RELOAD", "EMPTY"; "UNKNOWN" for any other value.
std::wstring_view WeaponCueName(WeaponCue cue);

// The folder holding the weapon sounds, searched upward from the executable.
std::filesystem::path DiscoverWeaponAudioRoot();

// True when Windows reports a default render endpoint. XAudio2 crashes while
// creating a mastering voice on a machine without one, so the engine is only
// set up after this says yes.
bool DefaultAudioEndpointPresent();

// What the engine set-up reaches outside the process; tests swap these to act
// out a machine without audio.
struct WeaponAudioPlatform {
    const wchar_t* libraryName = L"xaudio2_9.dll";  // loaded from the system folder only
    bool (*hasDefaultEndpoint)() = &DefaultAudioEndpointPresent;
};

// Read-back of one pool voice's engine state (for diagnostics and tests).
struct WeaponVoiceState {
    bool exists = false;
    uint32_t buffersQueued = 0;
    uint64_t lastUse = 0;   // submit serial of the voice's last use, 0 never used
    float volume = 0.0f;
    float left = 0.0f;      // output matrix gains toward the two master channels
    float right = 0.0f;
    uint32_t soundBytes = 0;  // length of the sound last submitted to it
};

// Weapon sounds (shot variants, reload, empty click) for the three arsenal weapons,
// decoded once at construction and played through a fixed pool of XAudio2 voices.
// UI thread only. A machine without the engine or an audio device leaves the
// instance silent: Ready() is false and Trigger returns false.
class NativeWeaponAudio {
public:
    static constexpr int kVoiceCount = 32;

    NativeWeaponAudio();                                   // root = DiscoverWeaponAudioRoot()
    explicit NativeWeaponAudio(std::filesystem::path root);
    NativeWeaponAudio(std::filesystem::path root, const WeaponAudioPlatform& platform);
    ~NativeWeaponAudio();
    NativeWeaponAudio(const NativeWeaponAudio&) = delete;
    NativeWeaponAudio& operator=(const NativeWeaponAudio&) = delete;

    const std::filesystem::path& Root() const;
    bool Ready() const;                                    // master voice and all 32 source voices exist
    bool Available(WeaponCue cue, int weapon) const;       // a sound of that cue was loaded for the weapon
    size_t VariantCount(WeaponCue cue, int weapon) const;  // loaded variants; 0 out of range
    // Plays one sound; volume 0..1, pan -1 (left) .. 1 (right), both clamped,
    // non-finite values count as 0. True when the buffer was submitted.
    bool Trigger(WeaponCue cue, float volume, int weapon, float pan) const;
    double LastSubmitMicroseconds() const;                 // duration of the last trigger that reached the submit
    int LastVoice() const;                                 // pool index of the last submit, -1 before any
    WeaponVoiceState InspectVoice(int index) const;

private:
    struct Impl;
    std::filesystem::path root;
    std::unique_ptr<Impl> impl;
};

}  // namespace tarvo::audio
