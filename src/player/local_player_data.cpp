#include "player/local_player_data.h"

namespace tarvo::player {

std::wstring_view InventoryStatusLabel(InventoryStatus status, bool english) {
    switch (status) {
        case InventoryStatus::Owned: return english ? L"OWNED" : L"У ВЛАСНОСТІ";
        case InventoryStatus::Equipped: return english ? L"EQUIPPED" : L"ЕКІПІРОВАНО";
        case InventoryStatus::Active: return english ? L"ACTIVE" : L"АКТИВНО";
        case InventoryStatus::Prototype: return L"PROTOTYPE";
        case InventoryStatus::Locked: return english ? L"LOCKED" : L"ЗАБЛОКОВАНО";
    }
    return L"OWNED";
}

std::vector<const InventoryItem*> OwnedInventoryItems::InCategory(InventoryCategory category) const {
    std::vector<const InventoryItem*> found;
    for (const InventoryItem& item : items) {
        if (item.category == category) found.push_back(&item);
    }
    return found;
}

double BotStats::AccuracyPercent() const {
    return shots == 0 ? 0.0 : static_cast<double>(hits) * 100.0 / static_cast<double>(shots);
}

double BotStats::KillDeathRatio() const {
    return static_cast<double>(kills) / static_cast<double>(deaths == 0 ? 1 : deaths);
}

}  // namespace tarvo::player
