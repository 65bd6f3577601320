#include "navigation/navigation_router.h"

#include <algorithm>
#include <utility>

namespace tarvo::navigation {

const std::vector<ScreenId>& NavigationRouter::AllRoutes() {
    static const std::vector<ScreenId> routes = [] {
        std::vector<ScreenId> ids;
        for (std::uint32_t id = 0; id <= static_cast<std::uint32_t>(ScreenId::OstrelBackend); ++id) {
            ids.push_back(static_cast<ScreenId>(id));
        }
        return ids;
    }();
    return routes;
}

bool NavigationRouter::HasRoute(ScreenId id) const {
    const auto& routes = AllRoutes();
    return std::find(routes.begin(), routes.end(), id) != routes.end();
}

void NavigationRouter::Navigate(ScreenId id) {
    if (!HasRoute(id) || id == current) return;
    previous = current;
    current = id;
}

void NavigationRouter::Back() { std::swap(current, previous); }

}  // namespace tarvo::navigation
