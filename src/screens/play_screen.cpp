// The play screen: six online mode cards, the bot training card, and the match
// panel with the three map plans, the rules of the chosen mode and the start button.
#include "screens/play_screen.h"

#include <string>

#include "gameplay/training_simulation.h"
#include "shell/gameplay_logic.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

namespace {

struct RulesText {
    const wchar_t* ukrainian;
    const wchar_t* english;
};

constexpr std::array<RulesText, 7> kRules = {{
    {L"Дві команди. Відродження. 40 знешкоджень або 5 хвилин.", L"Two teams, respawns. 40 eliminations or 5 minutes."},
    {L"Дві команди. Відродження. 60 знешкоджень або 6 хвилин.", L"Two teams, respawns. 60 eliminations or 6 minutes."},
    {L"Без відродження в раунді. Для старту потрібні 4 гравці. Перша команда з 5 перемогами виграє.",
     L"No respawn within a round. Four players required. First team to 5 round wins."},
    {L"Без відродження в раунді. Перший до 5 перемог. Таймер раунду 90 секунд.",
     L"No respawn within a round. First to 5 wins. 90-second rounds."},
    {L"Захоплюй точку за 4 секунди та отримуй очки. Ціль змінюється щохвилини. До 120 очок / 6 хвилин.",
     L"Capture in 4 seconds, then hold for points. Objective moves each minute. 120 points / 6 minutes."},
    {L"Офлайн-тренування з 3 ботами на RELAY.", L"Offline practice with 3 bots on RELAY."},
    {L"Кожен за себе. Відродження. До 20 знешкоджень або 5 хвилин.",
     L"Every player for themselves. Respawns. 20 eliminations or 5 minutes."},
}};

// The match tables hold 8-bit ASCII; one byte becomes one UTF-16 unit.
std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

int ClampedMode(int mode) { return mode < 0 ? 0 : (mode > 6 ? 6 : mode); }

}  // namespace

D2D_RECT_F OnlineModeCardRect(int card) {
    const float x = 72.0f + 540.0f * static_cast<float>(card % 2);
    const float y = 168.0f + 176.0f * static_cast<float>(card / 2);
    return D2D1::RectF(x, y, x + 510.0f, y + 150.0f);
}

D2D_RECT_F MapCardRect(int map) {
    const float x0 = 1208.0f + 200.0f * static_cast<float>(map);
    return D2D1::RectF(x0, 359.0f, x0 + 188.0f, 549.0f);
}

bool MapSelectable(int map, int selectedMode) { return map == 0 || selectedMode != kTrainingMode; }

bool PlanShowsBox(const gameplay::ScenePrimitive& box) {
    const auto kind = box.kind;
    return kind != gameplay::ScenePrimitiveKind::Floor && kind != gameplay::ScenePrimitiveKind::Roof &&
           kind != gameplay::ScenePrimitiveKind::OuterWall;
}

D2D_RECT_F PlanRect(int map, const gameplay::ScenePrimitive& box) {
    const float x0 = MapCardRect(map).left;
    const float left = x0 + 12.0f + (box.center.x - box.size.x / 2.0f + 32.0f) / 64.0f * 164.0f;
    const float top = 369.0f + (box.center.z - box.size.z / 2.0f + 42.0f) / 84.0f * 134.0f;
    return D2D1::RectF(left, top, left + box.size.x / 64.0f * 164.0f, top + box.size.z / 84.0f * 134.0f);
}

std::array<std::vector<gameplay::ScenePrimitive>, 3> BuildMapPlans(const std::filesystem::path& mapsDirectory) {
    std::array<std::vector<gameplay::ScenePrimitive>, 3> plans;
    for (int map = 0; map < 3; ++map) {
        gameplay::TrainingSimulation loader{gameplay::GameplayConfig{}};
        if (loader.ConfigureMatchMap(map, mapsDirectory)) plans[static_cast<size_t>(map)] = loader.Arena();
    }
    return plans;
}

void NativeShell::DrawPlay() {
    TopBrand(localization.Get(L"mode_select"));
    const D2D_RECT_F pill = D2D1::RectF(1110, 105, 1848, 145);
    FillRounded(pill, 7.0f, WithAlpha(Colors::Cyan, 0.12f));
    StrokeRounded(pill, 7.0f, WithAlpha(Colors::Cyan, 0.48f), 1.0f);
    DrawTextIn(Pick(L"ОНЛАЙН-ТЕСТ / 3 КАРТИ / 6 РЕЖИМІВ", L"STREAMER TEST / 3 MAPS / 6 MODES"), captionFormat.Get(),
               pill, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);

    // Online mode cards: the whole card is the region, without a hover look.
    for (int card = 0; card < static_cast<int>(kOnlineCardModes.size()); ++card) {
        const int mode = kOnlineCardModes[static_cast<size_t>(card)];
        const bool selected = mode == selectedMode;
        const D2D_RECT_F r = OnlineModeCardRect(card);
        FillRounded(r, 16.0f, selected ? WithAlpha(Colors::Cyan, 0.16f) : Colors::SurfaceRaised);
        StrokeRounded(r, 16.0f, selected ? Colors::Accent : Colors::Border, selected ? 3.0f : 1.0f);
        DrawTextIn(L"ONLINE / UNRANKED", captionFormat.Get(), D2D1::RectF(r.left + 22, r.top + 12, r.left + 292, r.top + 42),
                   Colors::Cyan);
        DrawTextIn(Widen(gameplay::MatchModeNames[static_cast<size_t>(mode)]), headingFormat.Get(),
                   D2D1::RectF(r.left + 22, r.top + 44, r.left + 485, r.top + 92), Colors::Text);
        const std::wstring players = mode == 3 ? std::wstring(L"2 PLAYERS")
                                               : L"2\u2013" + std::wstring(kModeMaxPlayers[static_cast<size_t>(mode)]) +
                                                     L" PLAYERS";
        DrawTextIn(players, bodyFormat.Get(), D2D1::RectF(r.left + 22, r.top + 100, r.left + 300, r.top + 136),
                   Colors::Muted);
        if (mode == 2) {
            DrawTextIn(L"4 REQUIRED", captionFormat.Get(), D2D1::RectF(r.left + 320, r.top + 108, r.left + 470, r.top + 138),
                       Colors::Accent);
        }
        AddRegion(r, "mode." + std::to_string(mode));
    }

    // Bot training card.
    const bool training = selectedMode == kTrainingMode;
    const D2D_RECT_F trainingCard = D2D1::RectF(72, 706, 1122, 858);
    FillRounded(trainingCard, 16.0f, training ? WithAlpha(Colors::Cyan, 0.16f) : Colors::SurfaceRaised);
    StrokeRounded(trainingCard, 16.0f, training ? Colors::Accent : Colors::Border, 2.0f);
    DrawTextIn(L"OFFLINE / 1 PLAYER / 3 BOTS", captionFormat.Get(), D2D1::RectF(98, 727, 758, 757), Colors::Cyan);
    DrawTextIn(localization.Get(L"bot_training"), headingFormat.Get(), D2D1::RectF(98, 765, 590, 822), Colors::Text);
    AddRegion(trainingCard, "mode.5");

    // Match panel.
    Card(D2D1::RectF(1170, 168, 1848, 888));
    DrawTextIn(Pick(L"ТВІЙ МАТЧ", L"YOUR MATCH"), captionFormat.Get(), D2D1::RectF(1208, 194, 1728, 224), Colors::Cyan);
    DrawTextIn(Widen(gameplay::MatchModeNames[static_cast<size_t>(ClampedMode(selectedMode))]), headingFormat.Get(),
               D2D1::RectF(1208, 239, 1798, 310), Colors::Text);
    DrawTextIn(Pick(L"ОБЕРИ КАРТУ", L"SELECT MAP"), captionFormat.Get(), D2D1::RectF(1208, 317, 1758, 347), Colors::Muted);

    // Parsed once per run, on the first paint of this screen.
    static const std::array<std::vector<gameplay::ScenePrimitive>, 3> previews =
        BuildMapPlans(FindArenaDirectory(ExecutableDirectory()));
    for (int map = 0; map < 3; ++map) {
        const D2D_RECT_F card = MapCardRect(map);
        FillRounded(card, 4.0f, Colors::SurfaceRaised);
        StrokeRounded(card, 4.0f, map == selectedMap ? Colors::Accent : Colors::Border, map == selectedMap ? 2.0f : 1.0f);
        const D2D1_COLOR_F planColor = WithAlpha(map == 1 ? Colors::Accent : Colors::Cyan, 0.65f);
        for (const gameplay::ScenePrimitive& box : previews[static_cast<size_t>(map)]) {
            if (PlanShowsBox(box)) FillRect(PlanRect(map, box), planColor);
        }
        const bool selectable = MapSelectable(map, selectedMode);
        DrawTextIn(Widen(gameplay::MatchMapNames[static_cast<size_t>(map)]), bodyFormat.Get(),
                   D2D1::RectF(card.left + 10, 509, card.left + 180, 541), selectable ? Colors::Text : Colors::Muted);
        if (selectable) AddRegion(card, "map." + std::to_string(map));
    }

    const RulesText& rules = kRules[static_cast<size_t>(ClampedMode(selectedMode))];
    DrawTextIn(Pick(rules.ukrainian, rules.english), bodyFormat.Get(), D2D1::RectF(1208, 580, 1798, 706), Colors::Muted);
    DrawTextIn(Pick(L"F2 \u2014 АРСЕНАЛ  /  TAB \u2014 ТАБЛИЦЯ", L"F2 \u2014 ARSENAL  /  TAB \u2014 SCOREBOARD"),
               captionFormat.Get(), D2D1::RectF(1208, 731, 1798, 761), Colors::Cyan);
    if (training) {
        Button(D2D1::RectF(1208, 803, 1798, 864), localization.Get(L"start_training"), "training.start", true, false);
    } else {
        Button(D2D1::RectF(1208, 803, 1798, 864), Pick(L"ПРИЄДНАТИСЯ ДО МАТЧУ", L"JOIN MATCH"), "match.start", true,
               false);
    }
}

}  // namespace tarvo::ui
