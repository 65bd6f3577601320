#pragma once
// A game shell painted off-screen whose fields are edited the way a user does it:
// clicks and keys go through the window procedure, the clipboard is the real one,
// and every check reads the shell state or the painted pixels.
#include "screens/field_text_geometry.h"
#include "screens/offscreen_canvas.h"
#include "shell/clipboard.h"
#include "support/clipboard_lock.h"

namespace tarvo::ui::test {

class FieldOnScreen : public CanvasFixture {
protected:
    testing::ClipboardLock clipboardLock;  // taken before anything else of the test

    void SetUp() override {
        CanvasFixture::SetUp();
        shell->window = owner.Handle();
    }
    void TearDown() override { shell->window = nullptr; }

    void Show(navigation::ScreenId screen) {
        shell->router.Navigate(screen);
        Paint();
    }

    const HitRegion& Region(const std::string& command) const {
        for (const auto& r : shell->hitRegions) {
            if (r.command == command) return r;
        }
        ADD_FAILURE() << "no region " << command;
        static const HitRegion none{};
        return none;
    }

    // A left click at a canvas point (the canvas is painted at scale 1), then a repaint.
    void ClickAt(float x, float y) {
        shell->HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<int>(x), static_cast<int>(y)));
        Paint();
    }
    void Click(const std::string& command) {
        const D2D_RECT_F r = Region(command).rect;
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    void Type(std::wstring_view text) {
        for (wchar_t c : text) shell->HandleMessage(WM_CHAR, c, 0);
        Paint();
    }
    void Key(unsigned vk) {
        shell->HandleMessage(WM_KEYDOWN, vk, 0);
        Paint();
    }
    void Ctrl(unsigned vk) {
        HeldKeys ctrl({VK_CONTROL});
        Key(vk);
    }
    void Shift(unsigned vk) {
        HeldKeys shift({VK_SHIFT});
        Key(vk);
    }

    std::wstring& Value(const std::string& key) { return shell->fieldValues[key]; }
    std::wstring Clipboard() const { return ReadClipboardText(owner.Handle()); }
    void SetClipboard(std::wstring_view text) const { ASSERT_TRUE(PutTextOnClipboard(owner.Handle(), text)); }

    // Where TextField draws the value of the field drawn at `box`.
    static D2D_RECT_F ValueRect(D2D_RECT_F box, bool password) {
        return D2D1::RectF(box.left + 18, box.top + 24, box.right - (password ? 66.0f : 16.0f), box.bottom - 5);
    }

    // Columns of the accent-coloured caret inside a rectangle; -1 when none is drawn.
    float CaretColumn(D2D_RECT_F rect) const {
        float sum = 0;
        int count = 0;
        for (int x = static_cast<int>(rect.left) - 2; x < static_cast<int>(rect.right) + 2; ++x) {
            int hits = 0;
            for (int y = static_cast<int>(rect.top); y < static_cast<int>(rect.bottom); ++y) {
                const Rgb c = Pixel(x, y);
                hits += c.g > 150 && c.b < 90 && c.r > 90;
            }
            if (hits >= 8) {
                sum += static_cast<float>(x) + 0.5f;
                ++count;
            }
        }
        return count ? sum / static_cast<float>(count) : -1.0f;
    }

    // Pixels of the cyan selection highlight inside a rectangle.
    int SelectionPixels(D2D_RECT_F rect) const {
        int count = 0;
        for (int y = static_cast<int>(rect.top); y < static_cast<int>(rect.bottom); ++y) {
            for (int x = static_cast<int>(rect.left); x < static_cast<int>(rect.right); ++x) {
                const Rgb c = Pixel(x, y);
                count += c.b > 70 && c.b > c.r + 40 && c.g > c.r + 25 && c.b < 200;
            }
        }
        return count;
    }

    // Width of the first `count` units of `text` in the field's face, measured the way
    // the field measures it.
    float PrefixWidth(std::wstring_view text, size_t count, D2D_RECT_F value) const {
        shell->bodyFormat->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
        shell->bodyFormat->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
        FieldTextGeometry geometry(shell->dwriteFactory.Get(), shell->bodyFormat.Get(), text, value.right - value.left,
                                   value.bottom - value.top);
        float x = 0, top = 0, height = 0;
        EXPECT_TRUE(geometry.CaretAt(count, x, top, height));
        return x;
    }

    MessageWindow owner;
};

}  // namespace tarvo::ui::test
