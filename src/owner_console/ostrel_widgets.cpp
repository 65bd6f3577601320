// Shapes the owner console's pages share. Drawn with the shell's one brush and
// formats on the canvas transform, like the game's widgets.
#include <algorithm>

#include "owner_console/ostrel_ui.h"
#include "shell/native_shell.h"

namespace tarvo::ui::ostrel {

namespace {

// Values from services can be long: they are cut at the edge of their cell instead of
// wrapping over the rows below. The shared format is put back to wrapping afterwards.
void SingleLine(NativeShell& shell, std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect,
                D2D1_COLOR_F color, DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) {
    if (!format) return;
    format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    shell.DrawTextIn(text, format, rect, color, align);
    format->SetWordWrapping(DWRITE_WORD_WRAPPING_WRAP);
}

}  // namespace

void Chip(NativeShell& shell, D2D_RECT_F rect, std::wstring_view text, D2D1_COLOR_F color) {
    shell.FillRounded(rect, 7.0f, WithAlpha(color, 0.12f));
    shell.StrokeRounded(rect, 7.0f, WithAlpha(color, 0.48f), 1.0f);
    shell.DrawTextIn(text, shell.captionFormat.Get(), D2D1::RectF(rect.left + 8, rect.top, rect.right - 8, rect.bottom),
                     color, DWRITE_TEXT_ALIGNMENT_CENTER);
}

void TitledCard(NativeShell& shell, D2D_RECT_F rect, std::wstring_view title) {
    shell.Card(rect);
    shell.DrawTextIn(title, shell.captionFormat.Get(),
                     D2D1::RectF(rect.left + 24, rect.top + 14, rect.right - 24, rect.top + 40), Colors::Muted);
}

void FigureCard(NativeShell& shell, D2D_RECT_F rect, std::wstring_view label, std::wstring_view value,
                std::wstring_view note, D2D1_COLOR_F marker) {
    shell.Card(rect);
    shell.FillRect(D2D1::RectF(rect.left, rect.top + 18, rect.left + 4, rect.bottom - 18), marker);
    shell.DrawTextIn(label, shell.captionFormat.Get(),
                     D2D1::RectF(rect.left + 24, rect.top + 16, rect.right - 16, rect.top + 42), Colors::Muted);
    shell.DrawTextIn(value, shell.titleFormat.Get(),
                     D2D1::RectF(rect.left + 24, rect.top + 40, rect.right - 16, rect.bottom - 34), Colors::Text);
    shell.DrawTextIn(note, shell.captionFormat.Get(),
                     D2D1::RectF(rect.left + 24, rect.bottom - 36, rect.right - 16, rect.bottom - 12), marker);
}

void Field(NativeShell& shell, float left, float top, float width, std::wstring_view label, std::wstring_view value,
           D2D1_COLOR_F valueColor) {
    const float split = left + std::min(260.0f, width * 0.36f);
    shell.DrawTextIn(label, shell.captionFormat.Get(), D2D1::RectF(left, top, split - 12, top + 32), Colors::Muted);
    SingleLine(shell, value.empty() ? std::wstring_view(L"\u2014") : value, shell.bodyFormat.Get(),
               D2D1::RectF(split, top, left + width, top + 32), valueColor);
}

float Table(NativeShell& shell, float left, float top, std::span<const Column> columns, std::span<const Row> rows,
            const TableStyle& style) {
    float right = left;
    for (const Column& c : columns) right += c.width;
    const float cellPad = 12.0f;

    // Header.
    float x = left;
    for (const Column& c : columns) {
        shell.DrawTextIn(c.header, shell.captionFormat.Get(),
                         D2D1::RectF(x + cellPad, top, x + c.width - cellPad, top + 30), Colors::Muted, c.align);
        x += c.width;
    }
    float y = top + 32.0f;
    shell.DrawLine(D2D1::Point2F(left, y), D2D1::Point2F(right, y), Colors::Border, 1.0f);

    for (size_t i = 0; i < rows.size(); ++i) {
        const D2D_RECT_F rowRect = D2D1::RectF(left, y + 1, right, y + style.rowHeight);
        const bool selected = static_cast<int>(i) == style.highlighted;
        const bool clickable = !style.rowCommand.empty();
        const std::string command = clickable ? std::string(style.rowCommand) + std::to_string(i) : std::string();
        if (selected) {
            shell.FillRect(rowRect, WithAlpha(Colors::Cyan, 0.12f));
            shell.FillRect(D2D1::RectF(left, rowRect.top, left + 3, rowRect.bottom), Colors::Cyan);
        } else if (clickable && shell.hoverCommand == command) {
            shell.FillRect(rowRect, WithAlpha(Colors::Text, 0.05f));
        } else if (i % 2 == 1) {
            shell.FillRect(rowRect, WithAlpha(Colors::Text, 0.025f));
        }
        const D2D1_COLOR_F color = i < style.rowColors.size() ? style.rowColors[i] : Colors::Text;
        x = left;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c < rows[i].size()) {
                SingleLine(shell, rows[i][c], shell.bodyFormat.Get(),
                           D2D1::RectF(x + cellPad, rowRect.top, x + columns[c].width - cellPad, rowRect.bottom),
                           c == 0 ? color : (selected ? Colors::Text : WithAlpha(color, 0.86f)), columns[c].align);
            }
            x += columns[c].width;
        }
        if (clickable) shell.AddRegion(rowRect, command);
        y += style.rowHeight;
    }
    return y;
}

void BarChart(NativeShell& shell, D2D_RECT_F rect, std::span<const std::uint32_t> values,
              std::span<const std::wstring> labels, D2D1_COLOR_F color, int labelEvery) {
    if (values.empty()) return;
    const std::uint32_t peak = std::max<std::uint32_t>(1, *std::max_element(values.begin(), values.end()));
    const float axisY = rect.bottom - 28.0f;
    const float slot = (rect.right - rect.left) / static_cast<float>(values.size());
    const float barWidth = std::max(4.0f, slot * 0.62f);
    for (int line = 1; line <= 3; ++line) {
        const float y = axisY - (axisY - rect.top) * static_cast<float>(line) / 3.0f;
        shell.DrawLine(D2D1::Point2F(rect.left, y), D2D1::Point2F(rect.right, y), WithAlpha(Colors::Border, 0.6f),
                       0.7f);
    }
    shell.DrawLine(D2D1::Point2F(rect.left, axisY), D2D1::Point2F(rect.right, axisY), Colors::Border, 1.0f);
    for (size_t i = 0; i < values.size(); ++i) {
        const float height = (axisY - rect.top - 22.0f) * static_cast<float>(values[i]) / static_cast<float>(peak);
        const float left = rect.left + slot * static_cast<float>(i) + (slot - barWidth) / 2.0f;
        const bool last = i + 1 == values.size();
        shell.FillRect(D2D1::RectF(left, axisY - height, left + barWidth, axisY),
                       last ? color : WithAlpha(color, 0.55f));
        if (last) {
            shell.DrawTextIn(Grouped(values[i]), shell.captionFormat.Get(),
                             D2D1::RectF(left - 30, axisY - height - 22, left + barWidth + 30, axisY - height - 2),
                             Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
        }
        if (labelEvery > 0 && i % static_cast<size_t>(labelEvery) == 0 && i < labels.size()) {
            shell.DrawTextIn(labels[i], shell.captionFormat.Get(),
                             D2D1::RectF(left - 30, axisY + 4, left + barWidth + 30, rect.bottom), Colors::Muted,
                             DWRITE_TEXT_ALIGNMENT_CENTER);
        }
    }
}

std::wstring Grouped(std::uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    std::wstring out;
    const size_t lead = digits.size() % 3;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (i + 3 - lead) % 3 == 0) out += L'\u2009';
        out += digits[i];
    }
    return out;
}

std::wstring MinutesSeconds(std::uint32_t seconds) {
    std::wstring s = std::to_wstring(seconds % 60);
    if (s.size() < 2) s.insert(0, 1, L'0');
    return std::to_wstring(seconds / 60) + L":" + s;
}

}  // namespace tarvo::ui::ostrel
