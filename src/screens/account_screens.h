#pragma once
// The trusted-devices list geometry, as plain values so tests check it without
// drawing.
#include <d2d1.h>

#include <cstddef>

namespace tarvo::ui {

// The service sends at most six trusted devices; every one gets a row so that each
// can be revoked. Up to four rows keep the roomy pitch; five or six are drawn
// compact so they all fit above the warning chip.
inline constexpr size_t kMaxDeviceRows = 6;

struct DeviceRowLayout {
    D2D_RECT_F box{};     // the row's rounded box
    D2D_RECT_F name{};    // display name
    D2D_RECT_F detail{};  // last seen and client version
    D2D_RECT_F action{};  // the revoke button
    D2D_RECT_F chip{};    // the current-device chip in its place
};

size_t DeviceRowCount(size_t devices);  // rows drawn for that many devices
DeviceRowLayout DeviceRowAt(size_t index, size_t rowCount);

}  // namespace tarvo::ui
