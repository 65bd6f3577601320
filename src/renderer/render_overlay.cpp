#include "renderer/render_overlay.h"

#include <algorithm>

namespace tarvo::renderer {

void SortScoreRows(std::vector<ScoreRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const ScoreRow& a, const ScoreRow& b) {
        if (a.kills != b.kills) return a.kills > b.kills;
        return a.deaths < b.deaths;
    });
}

}  // namespace tarvo::renderer
