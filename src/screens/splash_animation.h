#pragma once
// The splash's progress bar as a function of the seconds since the window opened.
#include <algorithm>
#include <cmath>

namespace tarvo::ui {

// Right edge of the fill on the canvas: 650 at the start, 1270 from 1.7 s on.
inline float SplashProgressRight(double seconds) {
    return 650.0f + 620.0f * static_cast<float>(std::min(std::max(seconds, 0.0) / 1.7, 1.0));
}

// Alpha of the fill, swinging between 0.1 and 1.0 with a period of pi/2 s.
inline float SplashPulse(double seconds) { return static_cast<float>(0.55 + 0.45 * std::sin(4.0 * seconds)); }

}  // namespace tarvo::ui
