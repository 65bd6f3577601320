#include "screens/field_text_geometry.h"

#include <algorithm>

#include "screens/text_editing.h"

namespace tarvo::ui {

FieldTextGeometry::FieldTextGeometry(IDWriteFactory* factory, IDWriteTextFormat* format, std::wstring_view text,
                                     float width, float height)
    : factory_(factory), format_(format), text_(text), width_(std::max(width, 0.0f)), height_(std::max(height, 0.0f)) {
    if (!factory_ || !format_) return;
    if (FAILED(factory_->CreateTextLayout(text_.c_str(), static_cast<UINT32>(text_.size()), format_, width_, height_,
                                          &layout_))) {
        layout_.Reset();
        return;
    }
    // A wrapped value would stack its lines in a box one line high.
    layout_->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
}

float FieldTextGeometry::PrefixWidth(size_t count) const {
    if (count == 0) return 0.0f;
    if (count >= text_.size()) {
        DWRITE_TEXT_METRICS metrics{};
        if (layout_ && SUCCEEDED(layout_->GetMetrics(&metrics))) return metrics.left + metrics.widthIncludingTrailingWhitespace;
    }
    Microsoft::WRL::ComPtr<IDWriteTextLayout> prefix;
    if (FAILED(factory_->CreateTextLayout(text_.c_str(), static_cast<UINT32>(std::min(count, text_.size())), format_,
                                          width_, height_, &prefix))) {
        return 0.0f;
    }
    prefix->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    DWRITE_TEXT_METRICS metrics{};
    if (FAILED(prefix->GetMetrics(&metrics))) return 0.0f;
    return metrics.left + metrics.widthIncludingTrailingWhitespace;
}

bool FieldTextGeometry::LineBox(float& top, float& height) const {
    DWRITE_TEXT_METRICS metrics{};
    if (!layout_ || FAILED(layout_->GetMetrics(&metrics))) return false;
    top = metrics.top;
    height = metrics.height;
    return true;
}

size_t FieldTextGeometry::PositionAt(float x, float y) const {
    if (!layout_) return text_.size();
    BOOL trailing = FALSE;
    BOOL inside = FALSE;
    DWRITE_HIT_TEST_METRICS hit{};
    if (SUCCEEDED(layout_->HitTestPoint(x, y, &trailing, &inside, &hit))) {
        const size_t position = static_cast<size_t>(hit.textPosition) + (trailing ? 1 : 0);
        return SnapToCaretStop(text_, std::min(position, text_.size()));
    }
    // Prefix measuring: the caret goes after every character whose middle lies left of x.
    size_t position = 0;
    float left = 0.0f;
    while (position < text_.size()) {
        const size_t next = NextCaretStop(text_, position);
        const float right = PrefixWidth(next);
        if (x < (left + right) * 0.5f) break;
        position = next;
        left = right;
    }
    return position;
}

bool FieldTextGeometry::CaretAt(size_t position, float& x, float& top, float& height) const {
    if (!layout_) return false;
    position = std::min(position, text_.size());
    FLOAT px = 0.0f;
    FLOAT py = 0.0f;
    DWRITE_HIT_TEST_METRICS hit{};
    if (SUCCEEDED(layout_->HitTestTextPosition(static_cast<UINT32>(position), FALSE, &px, &py, &hit))) {
        x = px;
        top = py;
        height = hit.height;
        return true;
    }
    if (!LineBox(top, height)) return false;
    x = PrefixWidth(position);
    return true;
}

std::vector<D2D_RECT_F> FieldTextGeometry::RangeRects(size_t start, size_t end) const {
    std::vector<D2D_RECT_F> rects;
    end = std::min(end, text_.size());
    if (!layout_ || end <= start) return rects;
    const UINT32 length = static_cast<UINT32>(end - start);
    UINT32 count = 0;
    HRESULT hr = layout_->HitTestTextRange(static_cast<UINT32>(start), length, 0.0f, 0.0f, nullptr, 0, &count);
    if (hr == E_NOT_SUFFICIENT_BUFFER && count > 0) {
        std::vector<DWRITE_HIT_TEST_METRICS> metrics(count);
        if (SUCCEEDED(layout_->HitTestTextRange(static_cast<UINT32>(start), length, 0.0f, 0.0f, metrics.data(), count,
                                                &count))) {
            for (UINT32 i = 0; i < count; ++i) {
                const auto& m = metrics[i];
                rects.push_back(D2D1::RectF(m.left, m.top, m.left + m.width, m.top + m.height));
            }
            return rects;
        }
    }
    float top = 0.0f;
    float height = 0.0f;
    if (!LineBox(top, height)) return rects;
    rects.push_back(D2D1::RectF(PrefixWidth(start), top, PrefixWidth(end), top + height));
    return rects;
}

float FieldTextGeometry::ScrollFor(size_t position) const {
    float x = 0.0f;
    float top = 0.0f;
    float height = 0.0f;
    if (!CaretAt(position, x, top, height)) return 0.0f;
    constexpr float kCaretRoom = 2.0f;  // the caret line itself stays visible
    const float room = width_ - kCaretRoom;
    return x > room ? x - room : 0.0f;
}

}  // namespace tarvo::ui
