#include "presentation/match_hud.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "gameplay/gameplay_config.h"
#include "renderer/render_overlay.h"

namespace tarvo::presentation {
namespace {

using gameplay::Color3;

constexpr Color3 kTextWhite{0.9f, 0.95f, 0.98f};
constexpr Color3 kCyan{0.025f, 0.75f, 0.85f};
constexpr Color3 kAmber{0.98f, 0.44f, 0.13f};
constexpr Color3 kPanel{0.014f, 0.026f, 0.038f};
constexpr Color3 kMuted{0.52f, 0.66f, 0.72f};
constexpr Color3 kWell{0.025f, 0.048f, 0.064f};

constexpr std::array<std::string_view, 7> kModeLabels = {"TDM 4v4", "TDM 6v6", "ELIM 2v2", "DUEL 1v1",
                                                         "TARV CORE", "TRAINING", "FFA"};

constexpr float kScorePanelMaxHeight = 570.0f;

class Builder {
public:
    explicit Builder(MatchHudLayout& layout) : layout(layout) {}
    void Rect(float x, float y, float w, float h, Color3 color) { layout.rects.push_back({x, y, w, h, color}); }
    void Text(std::string text, float x, float y, float size, Color3 color) {
        layout.texts.push_back({std::move(text), x, y, size, color});
    }

private:
    MatchHudLayout& layout;
};

const char* Pick(bool ukrainian, const char* english, const char* ukrainianText) {
    return ukrainian ? ukrainianText : english;
}

std::string Decimal(int32_t value) { return std::to_string(value); }

// Labels only: an index out of range reads as the nearest end of the table.
std::string_view ModeLabel(int32_t mode) {
    const int32_t last = static_cast<int32_t>(kModeLabels.size()) - 1;
    return kModeLabels[static_cast<size_t>(std::clamp(mode, 0, last))];
}

std::string_view MapLabel(int32_t map) {
    const int32_t last = static_cast<int32_t>(gameplay::MatchMapNames.size()) - 1;
    return gameplay::MatchMapNames[static_cast<size_t>(std::clamp(map, 0, last))];
}

// 'A' plus the low byte; past '~' the sum is no longer printable ASCII.
char PointLetter(int32_t pointIndex) {
    const unsigned letter = 'A' + (static_cast<unsigned>(pointIndex) & 0xFFu);
    return letter <= '~' ? static_cast<char>(letter) : '?';
}

// int(value) truncated as the processor converts it: a NaN or a value past the int range
// gives INT32_MIN instead of undefined behaviour (the match reader lets neither through).
int32_t Truncated(float value) {
    return value > -2147483904.0f && value < 2147483648.0f ? static_cast<int32_t>(value) : INT32_MIN;
}

std::string Clock(const renderer::RenderOverlay& overlay) {
    if (overlay.roundState == 0) {
        return "--:--";
    }
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%02d:%02d", static_cast<int>(overlay.roundSeconds / 60),
                  static_cast<int>(overlay.roundSeconds % 60));
    return buffer;
}

// Rows shown on the scoreboard: all of them when they fit, otherwise the leading
// rows with the last slot given to the local row when it would fall off the end.
void ChooseScoreRows(const std::vector<renderer::ScoreRow>& rows, std::array<size_t, kMatchHudMaxScoreRows>& chosen,
                     size_t& count) {
    count = std::min(rows.size(), static_cast<size_t>(kMatchHudMaxScoreRows));
    for (size_t i = 0; i < count; ++i) {
        chosen[i] = i;
    }
    if (rows.size() <= count) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].isLocal) {
            return;
        }
    }
    for (size_t i = count; i < rows.size(); ++i) {
        if (rows[i].isLocal) {
            chosen[count - 1] = i;
            return;
        }
    }
}

void BuildScoreboard(Builder& out, const renderer::RenderOverlay& overlay, float cx, float cy, bool uk) {
    std::array<size_t, kMatchHudMaxScoreRows> chosen{};
    size_t count = 0;
    ChooseScoreRows(overlay.scoreRows, chosen, count);

    const float height = std::min(26.0f * static_cast<float>(overlay.scoreRows.size()) + 112.0f, kScorePanelMaxHeight);
    const float top = cy - 0.5f * height;
    out.Rect(cx - 370.0f, top, 740.0f, height, kPanel);
    out.Text(Pick(uk, "MATCH SCOREBOARD", "ТАБЛИЦЯ МАТЧУ"), cx - 340.0f, top + 18.0f, 26.0f, kTextWhite);
    out.Text("OPERATOR", cx - 340.0f, top + 62.0f, 16.0f, kMuted);
    out.Text("K", cx + 190.0f, top + 62.0f, 16.0f, kMuted);
    out.Text("D", cx + 270.0f, top + 62.0f, 16.0f, kMuted);

    for (size_t slot = 0; slot < count; ++slot) {
        const renderer::ScoreRow& row = overlay.scoreRows[chosen[slot]];
        const float y = top + 90.0f + 26.0f * static_cast<float>(slot);
        if (row.isLocal) {
            out.Rect(cx - 350.0f, y - 2.0f, 700.0f, 25.0f, kWell);
        }
        std::string name;
        if (row.isLocal) {
            name = Pick(uk, "YOU / ", "ТИ / ");
        }
        if (!row.name.empty()) {
            name += row.name;
            name += " #";
            name += Decimal(row.playerId);
        } else {
            name += "OPERATOR ";
            name += Decimal(row.playerId);
        }
        const Color3 color = row.team == 1 ? kCyan : row.team == 2 ? kAmber : kTextWhite;
        out.Text(std::move(name), cx - 336.0f, y, 18.0f, color);
        out.Text(Decimal(row.kills), cx + 190.0f, y, 18.0f, kTextWhite);
        out.Text(Decimal(row.deaths), cx + 270.0f, y, 18.0f, kMuted);
    }
}

}  // namespace

MatchHudLayout BuildMatchHud(const renderer::RenderOverlay& overlay, float width, float height) {
    MatchHudLayout layout;
    if (!overlay.onlineMatch || overlay.menuOpen || overlay.arsenalOpen) {
        return layout;
    }
    Builder out(layout);
    const bool uk = overlay.ukrainian;
    const bool board = overlay.scoreboardHeld;
    const float cx = width * 0.5f;
    const float cy = height * 0.5f;
    layout.rects.reserve(8);
    layout.texts.reserve(board ? 10 + 3 * std::min(overlay.scoreRows.size(), size_t{kMatchHudMaxScoreRows}) : 9);

    // Top panel.
    out.Rect(cx - 240.0f, 18.0f, 480.0f, 88.0f, kPanel);
    out.Rect(cx - 240.0f, 18.0f, 480.0f, 3.0f, kCyan);
    std::string title(ModeLabel(overlay.matchMode));
    title += " / ";
    title += MapLabel(overlay.matchMap);
    out.Text(std::move(title), cx - 218.0f, 28.0f, 18.0f, kTextWhite);
    out.Text(Clock(overlay), cx + 135.0f, 28.0f, 18.0f, kTextWhite);

    // Score line.
    if (overlay.matchMode == 6) {
        std::string line = Pick(uk, "LEADER ", "ЛІДЕР ");
        line += Decimal(overlay.cyanScore);
        line += "   /   ";
        line += Pick(uk, "YOU ", "ТИ ");
        line += Decimal(overlay.amberScore);
        line += "   /   ";
        line += Decimal(overlay.freeForAllValue);
        out.Text(std::move(line), cx - 218.0f, 62.0f, 20.0f, kCyan);
    } else {
        out.Text("CYAN  " + Decimal(overlay.cyanScore), cx - 218.0f, 61.0f, 23.0f, kCyan);
        out.Text(Decimal(overlay.amberScore) + "  AMBER", cx + 70.0f, 61.0f, 23.0f, kAmber);
    }

    // Status line.
    if (overlay.roundState == 0 && !board) {
        out.Text(Pick(uk, "WAITING FOR PLAYERS / WARMUP", "ОЧІКУЄМО ГРАВЦІВ / РОЗМИНКА"), cx - 205.0f, 119.0f, 17.0f,
                 kTextWhite);
    } else if (overlay.matchMode == 4 && !board) {
        const float progress = overlay.pointProgress;
        const float magnitude = std::fabs(progress);
        std::string line = Pick(uk, "POINT ", "ТОЧКА ");
        line += PointLetter(overlay.activePoint);
        line += "   ";
        line += Decimal(Truncated(magnitude * 100.0f));
        line += "%";
        out.Text(std::move(line), cx - 120.0f, 115.0f, 17.0f, kTextWhite);
        out.Rect(cx - 140.0f, 143.0f, 280.0f, 5.0f, kWell);
        out.Rect(cx - 140.0f, 143.0f, magnitude * 280.0f, 5.0f, progress >= 0.0f ? kCyan : kAmber);
    } else if ((overlay.matchMode == 2 || overlay.matchMode == 3) && !board) {
        std::string line = Pick(uk, "ROUND ", "РАУНД ");
        line += Decimal(overlay.roundNumber);
        line += " / FIRST TO 5";
        out.Text(std::move(line), cx - 125.0f, 116.0f, 17.0f, kMuted);
    }

    // Round-end banner.
    if (overlay.roundState == 2 && !board) {
        out.Rect(cx - 300.0f, cy - 132.0f, 600.0f, 264.0f, kPanel);
        out.Rect(cx - 300.0f, cy - 132.0f, 600.0f, 4.0f, kCyan);
        if (overlay.roundWinner == 0) {
            out.Text(Pick(uk, "DRAW", "НІЧИЯ"), cx - 240.0f, cy - 95.0f, 30.0f, kAmber);
        } else {
            const int32_t own = overlay.matchMode == 6 ? overlay.localPlayerId : overlay.localTeam;
            if (overlay.roundWinner == own) {
                out.Text(Pick(uk, "VICTORY", "ПЕРЕМОГА"), cx - 240.0f, cy - 95.0f, 30.0f, kCyan);
            } else {
                out.Text(Pick(uk, "ROUND COMPLETE", "РАУНД ЗАВЕРШЕНО"), cx - 240.0f, cy - 95.0f, 30.0f, kAmber);
            }
        }
        out.Text(overlay.matchComplete != 0 ? Pick(uk, "MATCH COMPLETE", "МАТЧ ЗАВЕРШЕНО")
                                            : Pick(uk, "NEXT ROUND", "НАСТУПНИЙ РАУНД"),
                 cx - 240.0f, cy - 35.0f, 20.0f, kTextWhite);
        std::string restart = Pick(uk, "RESTART IN ", "НОВИЙ СТАРТ ЧЕРЕЗ ");
        restart += Decimal(overlay.roundSeconds);
        restart += " s";
        out.Text(std::move(restart), cx - 240.0f, cy + 16.0f, 20.0f, kMuted);
        out.Text(Pick(uk, "TAB \u2014 SCOREBOARD / ESC \u2014 MENU", "TAB \u2014 РЕЗУЛЬТАТИ / ESC \u2014 МЕНЮ"),
                 cx - 240.0f, cy + 78.0f, 17.0f, kTextWhite);
    }

    if (board) {
        BuildScoreboard(out, overlay, cx, cy, uk);
    }
    return layout;
}

std::string ShopMessage(const std::string& code, bool ukrainian) {
    struct Line {
        std::string_view code;
        const char* english;
        const char* ukrainianText;
    };
    static constexpr Line kLines[] = {
        {"READY", "Choose a weapon / 1, 2, 3 or mouse", "Обери зброю / 1, 2, 3 або миша"},
        {"PENDING", "Waiting for server...", "Сервер обробляє запит..."},
        {"EQUIPPED", "Weapon equipped", "Зброю споряджено"},
        {"WAIT_RESPAWN", "Wait for respawn", "Дочекайся відродження"},
        {"RETURN_TO_BASE", "At base: one weapon change per life", "На базі: одна зміна зброї за життя"},
        {"NOT_ENOUGH_COINS", "Not enough coins", "Недостатньо монет"},
        {"CONNECTING", "Connecting coin profile...", "Підключення профілю монет..."},
    };
    for (const Line& line : kLines) {
        if (line.code == code) {
            return Pick(ukrainian, line.english, line.ukrainianText);
        }
    }
    return Pick(ukrainian, "Coin profile unavailable. Rejoin the match.", "Профіль монет недоступний. Перезайди в матч.");
}

}  // namespace tarvo::presentation
