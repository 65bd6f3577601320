// The trusted devices screen: the listed devices with their texts, each revocable
// except the current one, the empty-list texts, and the row geometry.
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

// The screen around the list: header, title, refresh, then (after the rows) the
// warning chip, back and the footer.
Texts Head() {
    return Join(Brand(L"АКАУНТ / МОЇ ПРИСТРОЇ", L"ACCOUNT / MY DEVICES"),
                Shown{L"МОЇ ПРИСТРОЇ", L"MY DEVICES", {280, 225, 980, 277}, Colors::Text, Face::Title},
                Shown{L"ДОВІРЕНІ WINDOWS-ПРИСТРОЇ / SERVER AUTHORITY", L"TRUSTED WINDOWS DEVICES / SERVER AUTHORITY",
                      {280, 285, 1130, 315}, Colors::Cyan, Face::Caption},
                Plain(L"ОНОВИТИ", L"REFRESH", {1330, 220, 1640, 280}));
}
Texts Tail() {
    return Join(Chip(L"ВІДКЛИКАННЯ ПОТОЧНОГО ПРИСТРОЮ ПОТРЕБУЄ ПІДТВЕРДЖЕННЯ",
                     L"CURRENT DEVICE REVOCATION REQUIRES CONFIRMATION", {280, 740, 1640, 800}, Colors::Danger),
                Plain(L"НАЗАД", L"BACK", {72, 928, 250, 990}), Footer());
}

class Devices : public AccountCanvas {};

TEST_P(Devices, FourRowsEachRevocableButTheCurrentDevice) {
    shell->trustedDevices = {Device(L"dev-a", L"DESK"), Device(L"dev-self", L"", true), Device(L"пк-3", L"ОФІС"),
                             Device(L"dev-d", L"LAST ONE")};
    Show(ScreenId::Devices);
    ExpectRegions({
        {"auth.devices.refresh", {1330, 220, 1640, 280}},
        {"auth.device.revoke.dev-a", {1260, 355, 1605, 411}},
        {"auth.device.revoke.\xD0\xBF\xD0\xBA-3", {1260, 539, 1605, 595}},  // the id as UTF-8
        {"auth.device.revoke.dev-d", {1260, 631, 1605, 687}},
        {"nav.back", {72, 928, 250, 990}},
        {"nav.privacy", {1335, 1018, 1675, 1064}},
    });
    Texts rows;
    const wchar_t* names[] = {L"DESK", L"WINDOWS PC", L"ОФІС", L"LAST ONE"};  // an empty name reads WINDOWS PC
    for (int i = 0; i < 4; ++i) {
        const float top = 345.0f + 92.0f * static_cast<float>(i);
        Append(rows, Shown{names[i], {}, {305, top + 10, 650, top + 43}, Colors::Text, Face::Heading});
        Append(rows, Shown{L"2025-03-01T10:00:00Z  \u2022  0.0.03.5", {}, {680, top + 12, 1220, top + 46}, Colors::Muted,
                           Face::Caption});
        Append(rows, i == 1 ? Chip(L"ПОТОЧНИЙ ПРИСТРІЙ", L"CURRENT DEVICE", {1260, top + 17, 1605, top + 56},
                                   Colors::Success)
                            : Plain(L"ВІДКЛИКАТИ ДОСТУП", L"REVOKE ACCESS", {1260, top + 10, 1605, top + 66}));
    }
    ExpectTexts(Join(Head(), rows, Tail()));
}

TEST_P(Devices, SixDevicesAllGetACompactRow) {
    shell->trustedDevices = {Device(L"dev-a", L"DESK"),     Device(L"dev-b", L"LAPTOP"),
                             Device(L"dev-self", L"THIS PC", true), Device(L"dev-d", L"DEN"),
                             Device(L"dev-e", L"ОФІС"),      Device(L"dev-f", L"LAST ONE")};
    Show(ScreenId::Devices);
    std::vector<ExpectedRegion> expected{{"auth.devices.refresh", {1330, 220, 1640, 280}}};
    for (size_t i = 0; i < 6; ++i) {
        if (i != 2) expected.push_back({"auth.device.revoke." + distribution::WideToUtf8(shell->trustedDevices[i].deviceId),
                                        DeviceRowAt(i, 6).action});
    }
    expected.push_back({"nav.back", {72, 928, 250, 990}});
    expected.push_back({"nav.privacy", {1335, 1018, 1675, 1064}});
    ExpectRegions(expected);
    for (const wchar_t* name : {L"DESK", L"LAPTOP", L"THIS PC", L"DEN", L"ОФІС", L"LAST ONE"}) {
        EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [&](const DrawnText& t) { return t.text == name; }), 1);
    }
}

TEST_P(Devices, EmptyListShowsTheHintThenTheStatus) {
    Show(ScreenId::Devices);
    ExpectRegions({
        {"auth.devices.refresh", {1330, 220, 1640, 280}},
        {"nav.back", {72, 928, 250, 990}},
        {"nav.privacy", {1335, 1018, 1675, 1064}},
    });
    const auto line = [](std::wstring uk, std::wstring en) {
        return Shown{std::move(uk), std::move(en), {280, 350, 1640, 500}, Colors::Muted, Face::Body};
    };
    ExpectTexts(Join(Head(), line(L"Натисніть ОНОВИТИ, щоб отримати актуальний список.",
                                  L"Select REFRESH to load the current list."),
                     Tail()));
    shell->accountStatusText = L"ACCOUNT SERVICE UNAVAILABLE. CODE: NETWORK_ERROR_12029";
    Paint();
    ExpectTexts(Join(Head(), line(shell->accountStatusText, {}), Tail()));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Devices,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);

TEST(DeviceRows, GeometryFitsTheCardAboveTheWarning) {
    EXPECT_EQ(DeviceRowCount(0), 0u);
    EXPECT_EQ(DeviceRowCount(4), 4u);
    EXPECT_EQ(DeviceRowCount(9), 6u);
    for (size_t count = 5; count <= kMaxDeviceRows; ++count) {
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
