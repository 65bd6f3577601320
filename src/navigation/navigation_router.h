#pragma once
// The current and previous screen. Ids outside the route table and the current screen are refused.

#include <vector>

#include "navigation/screen_id.h"

namespace tarvo::navigation {

class NavigationRouter {
public:
    explicit NavigationRouter(ScreenId start) : current(start), previous(start) {}

    void Navigate(ScreenId id);      // does nothing for an unknown id or the current screen
    bool HasRoute(ScreenId id) const;
    void Back();                     // swaps current and previous, unchecked
    ScreenId Current() const { return current; }
    ScreenId Previous() const { return previous; }

    static const std::vector<ScreenId>& AllRoutes();  // ids 0..35 ascending, shared by both products

private:
    ScreenId current;
    ScreenId previous;
};

}  // namespace tarvo::navigation
