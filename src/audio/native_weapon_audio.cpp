#include "audio/native_weapon_audio.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <xaudio2.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <numbers>
#include <system_error>
#include <vector>

#include "audio/wav_reader.h"
#include "common/file_utils.h"

namespace tarvo::audio {
namespace {

constexpr int kWeaponCount = 3;
constexpr int kCueCount = 3;
constexpr const wchar_t* kWeaponKeys[kWeaponCount] = {L"ak47", L"smg9", L"dmr12"};
// Larger files cannot be a short weapon sound; they are skipped rather than read whole.
constexpr std::size_t kMaxSoundFileBytes = 64u * 1024u * 1024u;

using XAudio2CreateFunction = HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);

std::filesystem::path ModuleDirectory() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
        return {};
    }
    return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
}

bool LoadSound(const std::filesystem::path& file, std::vector<uint8_t>& samples) {
    std::string bytes;
    if (distribution::ReadWholeFile(file, kMaxSoundFileBytes, bytes) != distribution::FileRead::Read) {
        return false;
    }
    return ReadWeaponWav(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), samples);
}

float Finite(float value) { return std::isfinite(value) ? value : 0.0f; }

}  // namespace

std::wstring_view WeaponCueName(WeaponCue cue) {
    switch (cue) {
        case WeaponCue::SHOT:
            return L"SHOT";
        case WeaponCue::RELOAD:
            return L"RELOAD";
        case WeaponCue::EMPTY:
            return L"EMPTY";
    }
    return L"UNKNOWN";
}

std::filesystem::path DiscoverWeaponAudioRoot() {
    const std::filesystem::path relative = std::filesystem::path(L"assets") / L"runtime" / L"audio";
    const std::filesystem::path start = ModuleDirectory();
    std::filesystem::path folder = start;
    for (int i = 0; i < 8; ++i) {
        if (folder.empty()) {
            break;
        }
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(folder / relative / L"rifle-shot.wav", error))) {
            return folder / relative;
        }
        const std::filesystem::path parent = folder.parent_path();
        if (parent == folder) {
            break;
        }
        folder = parent;
    }
    return start / relative;
}

bool DefaultAudioEndpointPresent() {
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))) ||
        enumerator == nullptr) {
        return false;
    }
    IMMDevice* device = nullptr;
    const HRESULT result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    const bool present = SUCCEEDED(result) && device != nullptr;
    if (device != nullptr) {
        device->Release();
    }
    enumerator->Release();
    return present;
}

struct NativeWeaponAudio::Impl {
    struct Voice {
        IXAudio2SourceVoice* voice = nullptr;
        uint64_t lastUse = 0;
        uint32_t soundBytes = 0;
    };

    HMODULE library = nullptr;
    IXAudio2* engine = nullptr;
    IXAudio2MasteringVoice* master = nullptr;
    bool comEntered = false;
    std::array<Voice, kVoiceCount> voices{};
    std::array<std::array<std::vector<std::vector<uint8_t>>, kCueCount>, kWeaponCount> sounds{};
    uint64_t submitSerial = 0;
    double lastSubmitMicroseconds = 0.0;
    int lastVoice = -1;

    Impl(const std::filesystem::path& root, const WeaponAudioPlatform& platform) {
        LoadSounds(root);
        comEntered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        StartEngine(platform);
    }

    ~Impl() {
        for (Voice& v : voices) {
            if (v.voice != nullptr) {
                v.voice->DestroyVoice();
                v.voice = nullptr;
            }
        }
        if (master != nullptr) {
            master->DestroyVoice();
        }
        if (engine != nullptr) {
            engine->Release();
        }
        if (library != nullptr) {
            FreeLibrary(library);
        }
        if (comEntered) {
            CoUninitialize();
        }
    }

    void LoadSounds(const std::filesystem::path& root) {
        for (int weapon = 0; weapon < kWeaponCount; ++weapon) {
            const std::wstring key = kWeaponKeys[weapon];
            std::vector<uint8_t> samples;
            for (int variant = 1; variant <= 3; ++variant) {
                if (LoadSound(root / (key + L"-shot-" + std::to_wstring(variant) + L".wav"), samples)) {
                    sounds[weapon][0].push_back(std::move(samples));
                }
            }
            if (LoadSound(root / (key + L"-reload.wav"), samples)) {
                sounds[weapon][1].push_back(std::move(samples));
            }
            if (LoadSound(root / (key + L"-empty.wav"), samples)) {
                sounds[weapon][2].push_back(std::move(samples));
            }
        }
    }

    void StartEngine(const WeaponAudioPlatform& platform) {
        library = LoadLibraryExW(platform.libraryName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (library == nullptr) {
            return;
        }
        const auto create = reinterpret_cast<XAudio2CreateFunction>(GetProcAddress(library, "XAudio2Create"));
        if (create == nullptr || FAILED(create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR)) || engine == nullptr) {
            return;
        }
        // Without a default endpoint the engine cannot open a device, and on some
        // systems creating the mastering voice then takes the process down.
        if (platform.hasDefaultEndpoint == nullptr || !platform.hasDefaultEndpoint()) {
            return;
        }
        if (FAILED(engine->CreateMasteringVoice(&master, 2, 48000, 0, nullptr, nullptr, AudioCategory_GameEffects))) {
            master = nullptr;
            return;
        }
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = 48000;
        format.nAvgBytesPerSec = 96000;
        format.nBlockAlign = 2;
        format.wBitsPerSample = 16;
        format.cbSize = 0;
        for (Voice& v : voices) {
            if (FAILED(engine->CreateSourceVoice(&v.voice, &format, 0, 1.0f, nullptr, nullptr, nullptr))) {
                v.voice = nullptr;
                return;
            }
            v.voice->Start(0, 0);
        }
    }

    bool Ready() const {
        if (master == nullptr) {
            return false;
        }
        for (const Voice& v : voices) {
            if (v.voice == nullptr) {
                return false;
            }
        }
        return true;
    }

    // First idle voice, else the one used longest ago (stopped and emptied first).
    int PickVoice() {
        for (int i = 0; i < kVoiceCount; ++i) {
            XAUDIO2_VOICE_STATE state{};
            voices[i].voice->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
            if (state.BuffersQueued == 0) {
                return i;
            }
        }
        int oldest = 0;
        for (int i = 1; i < kVoiceCount; ++i) {
            if (voices[i].lastUse < voices[oldest].lastUse) {
                oldest = i;
            }
        }
        voices[oldest].voice->Stop(0);
        voices[oldest].voice->FlushSourceBuffers();
        return oldest;
    }

    bool Trigger(WeaponCue cue, float volume, int weapon, float pan) {
        const auto started = std::chrono::steady_clock::now();
        const auto cueIndex = static_cast<uint32_t>(cue);
        if (!Ready() || static_cast<unsigned>(weapon) >= kWeaponCount || cueIndex >= kCueCount) {
            return false;
        }
        const auto& variants = sounds[static_cast<size_t>(weapon)][cueIndex];
        if (variants.empty()) {
            return false;
        }
        const int index = PickVoice();
        Voice& slot = voices[static_cast<size_t>(index)];
        const std::vector<uint8_t>& sound = variants[submitSerial % variants.size()];
        ++submitSerial;
        slot.lastUse = submitSerial;

        slot.voice->SetVolume(std::clamp(Finite(volume), 0.0f, 1.0f));
        const float angle = (std::clamp(Finite(pan), -1.0f, 1.0f) + 1.0f) * (std::numbers::pi_v<float> / 4.0f);
        const float matrix[2] = {std::cos(angle), std::sin(angle)};
        slot.voice->SetOutputMatrix(master, 1, 2, matrix);

        XAUDIO2_BUFFER buffer{};
        buffer.Flags = XAUDIO2_END_OF_STREAM;
        buffer.AudioBytes = static_cast<UINT32>(sound.size());
        buffer.pAudioData = sound.data();
        const bool submitted = SUCCEEDED(slot.voice->SubmitSourceBuffer(&buffer, nullptr));
        if (submitted) {
            // A voice may have been stopped (taken from a busy one, or by the engine);
            // starting it after every submit makes a reported play audible.
            slot.voice->Start(0, 0);
            slot.soundBytes = buffer.AudioBytes;
            lastVoice = index;
        }
        lastSubmitMicroseconds =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();
        return submitted;
    }

    WeaponVoiceState Inspect(int index) const {
        WeaponVoiceState result;
        if (index < 0 || index >= kVoiceCount || voices[static_cast<size_t>(index)].voice == nullptr) {
            return result;
        }
        const Voice& v = voices[static_cast<size_t>(index)];
        result.exists = true;
        result.lastUse = v.lastUse;
        result.soundBytes = v.soundBytes;
        XAUDIO2_VOICE_STATE state{};
        v.voice->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
        result.buffersQueued = state.BuffersQueued;
        v.voice->GetVolume(&result.volume);
        if (master != nullptr) {
            float matrix[2] = {0.0f, 0.0f};
            v.voice->GetOutputMatrix(master, 1, 2, matrix);
            result.left = matrix[0];
            result.right = matrix[1];
        }
        return result;
    }
};

NativeWeaponAudio::NativeWeaponAudio() : NativeWeaponAudio(DiscoverWeaponAudioRoot()) {}

NativeWeaponAudio::NativeWeaponAudio(std::filesystem::path root)
    : NativeWeaponAudio(std::move(root), WeaponAudioPlatform{}) {}

NativeWeaponAudio::NativeWeaponAudio(std::filesystem::path rootPath, const WeaponAudioPlatform& platform)
    : root(std::move(rootPath)), impl(std::make_unique<Impl>(root, platform)) {}

NativeWeaponAudio::~NativeWeaponAudio() = default;

const std::filesystem::path& NativeWeaponAudio::Root() const { return root; }

bool NativeWeaponAudio::Ready() const { return impl->Ready(); }

bool NativeWeaponAudio::Available(WeaponCue cue, int weapon) const { return VariantCount(cue, weapon) > 0; }

size_t NativeWeaponAudio::VariantCount(WeaponCue cue, int weapon) const {
    const auto cueIndex = static_cast<uint32_t>(cue);
    if (cueIndex >= kCueCount || static_cast<unsigned>(weapon) >= kWeaponCount) {
        return 0;
    }
    return impl->sounds[static_cast<size_t>(weapon)][cueIndex].size();
}

bool NativeWeaponAudio::Trigger(WeaponCue cue, float volume, int weapon, float pan) const {
    return impl->Trigger(cue, volume, weapon, pan);
}

double NativeWeaponAudio::LastSubmitMicroseconds() const { return impl->lastSubmitMicroseconds; }

int NativeWeaponAudio::LastVoice() const { return impl->lastVoice; }

WeaponVoiceState NativeWeaponAudio::InspectVoice(int index) const { return impl->Inspect(index); }

}  // namespace tarvo::audio
