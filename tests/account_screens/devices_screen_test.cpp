// The trusted devices screen: every listed device drawn and revocable except the
// current one, the empty-list texts, and the row geometry.
#include "account_screens/account_canvas.h"
#include "common/text_utils.h"
#include "screens/account_screens.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using R = D2D_RECT_F;

ServerDeviceRow Device(std::wstring id, std::wstring name, bool current = false) {
    ServerDeviceRow row;
    row.deviceId = std::move(id);
    row.displayName = std::move(name);
    row.lastSeenAt = L"2025-03-01T10:00:00Z";
    row.trustedAt = L"2025-02-01T10:00:00Z";
    row.clientVersion = L"0.0.03.5";
    row.current = current;
    return row;
}

std::vector<ServerDeviceRow> SixDevices() {
    return {Device(L"dev-a", L"DESK"),        Device(L"dev-b", L"LAPTOP"),
            Device(L"dev-self", L"THIS PC", true), Device(L"dev-d", L""),
            Device(L"пк-5", L"ОФІС"),          Device(L"dev-f", L"LAST ONE")};
}

class Devices : public AccountCanvas {};

TEST_P(Devices, SixRowsEachRevocableButTheCurrentDevice) {
    shell->trustedDevices = SixDevices();
    Show(ScreenId::Devices);

    std::vector<ExpectedRegion> expected{{"auth.devices.refresh", {1330, 220, 1640, 280}}};
    for (size_t i = 0; i < 6; ++i) {
        if (shell->trustedDevices[i].current) continue;
        expected.push_back({"auth.device.revoke." + distribution::WideToUtf8(shell->trustedDevices[i].deviceId),
                            DeviceRowAt(i, 6).action});
    }
    expected.push_back({"nav.back", {72, 928, 250, 990}});
    expected.push_back({"nav.privacy", {1335, 1018, 1675, 1064}});
    ExpectRegions(expected);

    EXPECT_EQ(shell->hitRegions[4].command, "auth.device.revoke.\xD0\xBF\xD0\xBA-5") << "a non-ASCII id as UTF-8";
    for (const auto& region : shell->hitRegions) EXPECT_NE(region.command, "auth.device.revoke.dev-self");

    for (size_t i = 0; i < 6; ++i) {
        const DeviceRowLayout row = DeviceRowAt(i, 6);
        SCOPED_TRACE(i);
        ExpectInk(static_cast<int>(row.name.left), static_cast<int>(row.name.top), static_cast<int>(row.name.right),
                  static_cast<int>(row.name.bottom), "device name");
        ExpectInk(static_cast<int>(row.detail.left), static_cast<int>(row.detail.top),
                  static_cast<int>(row.detail.right), static_cast<int>(row.detail.bottom), "last seen and version");
    }
    const DeviceRowLayout current = DeviceRowAt(2, 6);
    EXPECT_GT(CountPixels(current.action, Greenish), 20) << "success chip text for the current device";
    EXPECT_EQ(CountPixels(DeviceRowAt(1, 6).action, Greenish), 0) << "a revoke button, no chip";
    ExpectInk(280, 740, 1640, 800, "warning chip");
}

TEST_P(Devices, FewRowsKeepTheRoomyPitch) {
    shell->trustedDevices = {Device(L"dev-a", L"DESK", true), Device(L"dev-b", L"")};
    Show(ScreenId::Devices);
    ExpectRegions({
        {"auth.devices.refresh", {1330, 220, 1640, 280}},
        {"auth.device.revoke.dev-b", {1260, 447, 1605, 503}},
        {"nav.back", {72, 928, 250, 990}},
        {"nav.privacy", {1335, 1018, 1675, 1064}},
    });
    ExpectInk(305, 447, 650, 480, "an empty name shows WINDOWS PC");
}

TEST_P(Devices, EmptyListShowsTheHintThenTheStatus) {
    Show(ScreenId::Devices);
    ExpectRegions({
        {"auth.devices.refresh", {1330, 220, 1640, 280}},
        {"nav.back", {72, 928, 250, 990}},
        {"nav.privacy", {1335, 1018, 1675, 1064}},
    });
    ExpectInk(280, 350, 1640, 500, "refresh hint");
    const int hint = LitPixels(280, 350, 1640, 500);
    shell->accountStatusText = L"ACCOUNT SERVICE UNAVAILABLE. TRY AGAIN LATER. CODE: NETWORK_ERROR_12029";
    Paint();
    EXPECT_NE(LitPixels(280, 350, 1640, 500), hint) << "the failure message replaces the hint";
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Devices,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);

TEST(DeviceRows, GeometryFitsTheCardAboveTheWarning) {
    EXPECT_EQ(DeviceRowCount(0), 0u);
    EXPECT_EQ(DeviceRowCount(4), 4u);
    EXPECT_EQ(DeviceRowCount(9), 6u);
    const float tops[] = {345, 437, 529, 621};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(DeviceRowAt(i, 4).box.top, tops[i]);
        EXPECT_FLOAT_EQ(DeviceRowAt(i, 4).box.bottom, tops[i] + 76);
    }
    for (size_t count = 1; count <= kMaxDeviceRows; ++count) {
        for (size_t i = 0; i < count; ++i) {
            const DeviceRowLayout row = DeviceRowAt(i, count);
            EXPECT_LT(row.box.bottom, 740.0f) << count << " rows, row " << i;
            EXPECT_GE(row.action.top, row.box.top);
            EXPECT_LE(row.action.bottom, row.box.bottom);
            EXPECT_GE(row.action.bottom - row.action.top, 40.0f) << "a button still worth clicking";
            if (i > 0) {
                EXPECT_GT(row.box.top, DeviceRowAt(i - 1, count).box.bottom) << "rows never overlap";
            }
        }
    }
}

}  // namespace
}  // namespace tarvo::ui::test
