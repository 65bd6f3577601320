#pragma once
// The off-screen canvas set to one account screen in one language.
#include <string>
#include <vector>

#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {

class AccountCanvas : public CanvasFixture, public ::testing::WithParamInterface<localization::Locale> {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        shell->localization.SetLocale(GetParam());
    }

    bool English() const { return GetParam() == localization::Locale::English; }

    void Show(navigation::ScreenId screen) {
        shell->router.Navigate(screen);
        Paint();
    }
};

inline std::string LocaleName(const ::testing::TestParamInfo<localization::Locale>& info) {
    return info.param == localization::Locale::Ukrainian ? "Ukrainian" : "English";
}

}  // namespace tarvo::ui::test
