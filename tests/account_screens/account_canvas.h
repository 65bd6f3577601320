#pragma once
// The off-screen canvas set to one account screen in one language, with the
// region list compared as a whole: commands in drawing order and their rectangles.
#include <string>
#include <vector>

#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {

struct ExpectedRegion {
    std::string command;
    D2D_RECT_F rect;
};

inline std::string RectText(const D2D_RECT_F& r) {
    std::string text = "{";
    for (float v : {r.left, r.top, r.right, r.bottom}) {
        if (text.size() > 1) text += ", ";
        text += std::to_string(v);
    }
    text += '}';
    return text;
}

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

    void ExpectRegions(const std::vector<ExpectedRegion>& expected) const {
        std::vector<std::string> wanted;
        for (const auto& e : expected) wanted.push_back(e.command);
        ASSERT_EQ(Commands(), wanted);
        for (size_t i = 0; i < expected.size(); ++i) {
            const D2D_RECT_F& got = shell->hitRegions[i].rect;
            const D2D_RECT_F& want = expected[i].rect;
            EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right &&
                        got.bottom == want.bottom)
                << expected[i].command << ": " << RectText(got) << " instead of " << RectText(want);
        }
    }

    // Pixels in the rectangle for which `match` holds.
    template <typename Match>
    int CountPixels(D2D_RECT_F rect, Match match) const {
        int count = 0;
        for (int y = static_cast<int>(rect.top); y < static_cast<int>(rect.bottom); ++y) {
            for (int x = static_cast<int>(rect.left); x < static_cast<int>(rect.right); ++x) count += match(Pixel(x, y));
        }
        return count;
    }
    static bool Reddish(Rgb c) { return c.r > 180 && c.g < 110; }
    static bool Greenish(Rgb c) { return c.g > 150 && c.r < 110 && c.b < 170; }

    // Some text (any bright pixel) was drawn in the rectangle.
    void ExpectInk(int left, int top, int right, int bottom, const char* what) const {
        EXPECT_GT(LitPixels(left, top, right, bottom), 20) << what;
    }
};

inline std::string LocaleName(const ::testing::TestParamInfo<localization::Locale>& info) {
    return info.param == localization::Locale::Ukrainian ? "Ukrainian" : "English";
}

}  // namespace tarvo::ui::test
