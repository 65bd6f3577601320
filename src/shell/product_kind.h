#pragma once
#include <cstdint>

namespace tarvo::ui {

// Which product the process runs; fixed at entry.
enum class ProductKind : std::uint32_t {
    Game = 0,        // "TARVONIX VOLLEY"
    OstrelNode = 1,  // the owner console "OSTREL NODE"
};

}  // namespace tarvo::ui
