#include "gameplay/arena_file.h"

#include <cmath>
#include <sstream>
#include <string>

#include "gameplay/file_input.h"

namespace tarvo::gameplay {

namespace {

// Both ends of the box on this axis lie within the arena's reach (false for NaN as well).
bool WithinReach(float center, float size) { return std::fabs(center) + 0.5f * size <= kArenaReach; }

}  // namespace

std::optional<std::vector<ScenePrimitive>> ParseArenaText(std::string_view text) {
    if (text.size() > kMaxArenaFileBytes) {
        return std::nullopt;
    }

    std::vector<ScenePrimitive> primitives;
    bool headerSeen = false;
    bool valid = true;
    std::istringstream fields;
    detail::ForEachLine(text, [&](std::string_view line) {
        if (!headerSeen) {
            headerSeen = true;
            valid = line == kArenaFileMagic;
            return valid;
        }
        if (line.empty() || line.front() == '#') {
            return true;
        }
        // Past the limit the file is refused anyway; stop reading it.
        if (primitives.size() == kMaxArenaPrimitives) {
            valid = false;
            return false;
        }

        fields.clear();
        fields.str(std::string(line));
        int type = 0;
        int kind = 0;
        int solid = 0;
        ScenePrimitive p;
        fields >> type >> kind >> solid >> p.center.x >> p.center.y >> p.center.z >> p.size.x >> p.size.y >>
            p.size.z >> p.color.r >> p.color.g >> p.color.b;
        if (fields.fail() || type < 0 || type > 1 || kind < 0 || kind > 6 || !(p.size.x > 0.0f) ||
            !(p.size.y > 0.0f) || !(p.size.z > 0.0f) || !WithinReach(p.center.x, p.size.x) ||
            !WithinReach(p.center.y, p.size.y) || !WithinReach(p.center.z, p.size.z)) {
            valid = false;
            return false;
        }
        p.type = static_cast<ScenePrimitiveType>(type);
        p.kind = static_cast<ScenePrimitiveKind>(kind);
        p.solid = solid != 0;
        primitives.push_back(p);
        return true;
    });

    if (!headerSeen || !valid || primitives.size() < kMinArenaPrimitives) {
        return std::nullopt;
    }
    return primitives;
}

}  // namespace tarvo::gameplay
