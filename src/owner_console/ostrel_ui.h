#pragma once
// The owner console's drawing: the page table behind the sidebar, the few shapes
// its pages share (page header, chips, figure cards, tables, bar charts) and one
// drawing function per page. All of them only read shell state and append hit
// regions; every change happens in the dispatcher's owner-console handlers.
#include <d2d1.h>
#include <dwrite.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/screen_id.h"

namespace tarvo::ui {
class NativeShell;
}

namespace tarvo::ui::ostrel {

struct Page {
    navigation::ScreenId screen;
    std::string_view command;  // the sidebar's "ostrel." command
    std::wstring_view titleUk;
    std::wstring_view titleEn;
    std::wstring_view subtitleUk;
    std::wstring_view subtitleEn;
};

// The fifteen pages in sidebar order; Statistics (14) is the one id shared with the game.
std::span<const Page> Pages();
const Page* FindPage(navigation::ScreenId screen);  // null for the gate and game screens

// Content area right of the sidebar.
inline constexpr float kContentLeft = 360.0f;
inline constexpr float kContentRight = 1880.0f;

// ---- Shared shapes ------------------------------------------------------------
void PageHeader(NativeShell& shell, const Page& page);
// A status chip: the colour at alpha 0.12 filled, 0.48 outlined, the text centred.
void Chip(NativeShell& shell, D2D_RECT_F rect, std::wstring_view text, D2D1_COLOR_F color);
// A card with a caption title at its top left.
void TitledCard(NativeShell& shell, D2D_RECT_F rect, std::wstring_view title);
// One large figure: label, value and a note under it, with a coloured marker.
void FigureCard(NativeShell& shell, D2D_RECT_F rect, std::wstring_view label, std::wstring_view value,
                std::wstring_view note, D2D1_COLOR_F marker);
// A label and its value on one line.
void Field(NativeShell& shell, float left, float top, float width, std::wstring_view label, std::wstring_view value,
           D2D1_COLOR_F valueColor);

struct Column {
    std::wstring_view header;
    float width;
    DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING;
};
using Row = std::vector<std::wstring>;

struct TableStyle {
    float rowHeight = 40.0f;
    int highlighted = -1;                     // row drawn as selected
    std::string_view rowCommand;              // when set, each row is clickable with this prefix + row index
    std::span<const D2D1_COLOR_F> rowColors;  // text colour per row (Text when absent)
};
// Header and rows from (left, top); returns the y under the last row.
float Table(NativeShell& shell, float left, float top, std::span<const Column> columns, std::span<const Row> rows,
            const TableStyle& style = {});

// Bars of `values` scaled to the largest, with an axis label under every `labelEvery`-th bar.
void BarChart(NativeShell& shell, D2D_RECT_F rect, std::span<const std::uint32_t> values,
              std::span<const std::wstring> labels, D2D1_COLOR_F color, int labelEvery);

// Thousands separated by a thin space: 12 480.
std::wstring Grouped(std::uint64_t value);
// "10:12" from seconds.
std::wstring MinutesSeconds(std::uint32_t seconds);

// ---- Pages (one per screen) ---------------------------------------------------
void DrawOverviewPage(NativeShell& shell);
void DrawPlayersPage(NativeShell& shell);
void DrawMatchesPage(NativeShell& shell);
void DrawDownloadsPage(NativeShell& shell);
void DrawStatisticsPage(NativeShell& shell);
void DrawAnnouncementsPage(NativeShell& shell);
void DrawEconomyPage(NativeShell& shell);
void DrawTarvPage(NativeShell& shell);
void DrawSecurityPage(NativeShell& shell);
void DrawVersionsPage(NativeShell& shell);
void DrawReleasePage(NativeShell& shell);
void DrawHealthPage(NativeShell& shell);
void DrawAuditPage(NativeShell& shell);
void DrawSettingsPage(NativeShell& shell);
void DrawBackendPage(NativeShell& shell);

}  // namespace tarvo::ui::ostrel
