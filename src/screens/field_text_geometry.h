#pragma once
// Geometry of a field's one-line value: where a click puts the caret, where the
// caret and the selection are drawn. DirectWrite's hit tests are used where they
// work; where they fail (Wine 8 does not implement them) text prefixes are measured.
#include <dwrite.h>
#include <d2d1.h>
#include <wrl/client.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarvo::ui {

class FieldTextGeometry {
public:
    // The layout of `text` in `format` (alignment already set) within a box of that
    // size. Valid() is false when the layout cannot be made.
    FieldTextGeometry(IDWriteFactory* factory, IDWriteTextFormat* format, std::wstring_view text, float width,
                      float height);

    bool Valid() const { return layout_ != nullptr; }
    IDWriteTextLayout* Layout() const { return layout_.Get(); }

    // Caret position for a point relative to the box: the character under the point,
    // one further on its trailing half; clamped to the text.
    size_t PositionAt(float x, float y) const;
    // Caret line of a position: x and top relative to the box, and its height.
    bool CaretAt(size_t position, float& x, float& top, float& height) const;
    // Rectangles of the range [start, end) relative to the box.
    std::vector<D2D_RECT_F> RangeRects(size_t start, size_t end) const;
    // The value stays on one line; when it is wider than the box it is shifted left
    // by this much so that the caret at `position` stays inside. Drawing and click
    // placement both use it, so the caret lands where the click was.
    float ScrollFor(size_t position) const;

private:
    float PrefixWidth(size_t count) const;  // width of the first `count` units
    bool LineBox(float& top, float& height) const;

    IDWriteFactory* factory_;
    IDWriteTextFormat* format_;
    std::wstring text_;
    float width_;
    float height_;
    Microsoft::WRL::ComPtr<IDWriteTextLayout> layout_;
};

}  // namespace tarvo::ui
