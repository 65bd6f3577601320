#include <gtest/gtest.h>

#include <vector>

#include "renderer/render_overlay.h"

namespace tarvo::renderer {
namespace {

TEST(RenderOverlay, DefaultsAndScoreboardOrder) {
    const RenderOverlay overlay;
    EXPECT_EQ(overlay.matchMode, 6);
    EXPECT_EQ(overlay.roundNumber, 1);
    EXPECT_EQ(overlay.ownedWeaponMask, 1u);
    EXPECT_EQ(overlay.quality, 0u);
    EXPECT_FALSE(overlay.onlineMatch);
    EXPECT_TRUE(overlay.scoreRows.empty());
    EXPECT_TRUE(overlay.qaCapturePath.empty());

    std::vector<ScoreRow> rows = {
        {1, 1, 2, 0, true, "local"},  {2, 2, 3, 9, false, "three-nine"}, {3, 1, 2, 0, false, "tie-a"},
        {4, 2, 2, 0, false, "tie-b"}, {5, 1, 2, 4, false, "two-four"},    {6, 2, -1, 0, false, "negative"},
    };
    SortScoreRows(rows);
    std::vector<int32_t> order;
    for (const ScoreRow& row : rows) order.push_back(row.playerId);
    // More kills first (3 kills and 9 deaths beat 2 and 0), then fewer deaths; rows
    // equal in both keep the order they were built in, local player first.
    EXPECT_EQ(order, (std::vector<int32_t>{2, 1, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace tarvo::renderer
