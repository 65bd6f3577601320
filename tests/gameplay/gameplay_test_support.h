#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "gameplay/training_simulation.h"
#include "support/temp_folder.h"

namespace tarvo::gameplay::testing {

using tarvo::testing::ReadBytes;
using tarvo::testing::TempFolder;

// A file shipped beside the executable (assets/..., config/...), found from the
// executable's folder upward.
inline std::filesystem::path FindShipped(const std::filesystem::path& relative) {
    wchar_t module[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, module, static_cast<DWORD>(std::size(module)));
    std::filesystem::path dir = std::filesystem::path(module).parent_path();
    for (int i = 0; i < 8 && !dir.empty(); ++i) {
        if (std::filesystem::exists(dir / relative)) {
            return dir / relative;
        }
        if (dir == dir.parent_path()) {
            break;
        }
        dir = dir.parent_path();
    }
    return {};
}

// An open hall: floor and four outer walls, plus whatever lines are appended.
inline std::string OpenHallArena(std::string_view extraLines = {}) {
    std::string text =
        "TARVARENA1\n"
        "0 0 1  0 -0.5 0  64 1 84  0.1 0.1 0.1\n"
        "0 6 1  -32 3 0  1 7 84  0.2 0.2 0.2\n"
        "0 6 1  32 3 0  1 7 84  0.2 0.2 0.2\n"
        "0 6 1  0 3 -42  64 7 1  0.2 0.2 0.2\n"
        "0 6 1  0 3 42  64 7 1  0.2 0.2 0.2\n";
    text += extraLines;
    return text;
}

// A simulation whose arena is loaded from text through the real map loader.
inline bool LoadArenaText(TrainingSimulation& sim, std::string_view text) {
    TempFolder folder;
    folder.Write("relay.arena", text);
    return sim.ConfigureMatchMap(0, folder.Path());
}

inline void Steps(TrainingSimulation& sim, int count, const InputState& input = {}) {
    for (int i = 0; i < count; ++i) {
        sim.Update(input, TrainingSimulation::kFixedStep);
    }
}

// The simulation's random sequence as the rules define it, from the seed of a new
// simulation: a 32-bit linear congruential step, the top 24 bits over 2^24 - 1.
struct SeededRandom {
    uint32_t state = 0xC4A72002u;
    float Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777215.0f;
    }
};

inline int CountEvents(const std::vector<SessionEvent>& events, std::string_view name) {
    int n = 0;
    for (const auto& e : events) {
        n += e.name == name ? 1 : 0;
    }
    return n;
}

}  // namespace tarvo::gameplay::testing
