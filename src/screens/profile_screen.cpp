// Profile (screen 13): avatar or initials, name, rank and level, id and creation
// date, six training figures, the future social block and the two avatar buttons.
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawProfile() {
    TopBrand(localization.Get(L"profile"));
    Card(D2D1::RectF(72, 165, 620, 885));

    // The avatar: an imported image as the full square, else the initials disc. A
    // custom image that cannot be drawn falls back to the disc but keeps the thin ring.
    const player::ProfileIdentity& identity = playerData.identity;
    const bool custom = playerData.avatar.customImage;
    const D2D_RECT_F avatar = D2D1::RectF(182, 220, 510, 548);
    const bool drawn = DrawOwnAvatar(*this, avatar);
    if (!drawn) {
        FillRounded(avatar, 164.0f, WithAlpha(Colors::Cyan, 0.12f));
        DrawTextIn(ProfileInitials(identity.displayName), displayFormat.Get(), avatar, Colors::Cyan,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
    }
    if (custom) {
        StrokeRounded(avatar, 164.0f, WithAlpha(Colors::Border, 0.55f), 1.0f);
    } else {
        StrokeRounded(avatar, 164.0f, Colors::Cyan, 2.0f);
    }

    DrawTextIn(identity.displayName, titleFormat.Get(), D2D1::RectF(120, 575, 570, 635), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawChip(*this, D2D1::RectF(205, 645, 485, 688), Colors::Accent,
             identity.rankLabel + L"  •  LEVEL " + std::to_wstring(identity.level));

    Button(D2D1::RectF(145, 710, 340, 766), Pick(L"ОБРАТИ ФАЙЛ", L"SELECT FILE"), "profile.avatar", false, false);
    Button(D2D1::RectF(352, 710, 547, 766), L"ROZIZODIVO", "profile.avatar.sample", false, false);

    DrawTextIn(std::wstring(Pick(L"ID ГРАВЦЯ  ", L"PLAYER ID  ")) + identity.playerKey, captionFormat.Get(),
               D2D1::RectF(145, 790, 565, 820), Colors::Muted);
    const std::wstring created = accountRecord ? accountRecord->createdAt : std::wstring(L"\u2014");
    DrawTextIn(std::wstring(localization.Get(L"account_created")) + L"  " + created, captionFormat.Get(),
               D2D1::RectF(145, 824, 565, 854), Colors::Muted);

    const auto figures = ProfileFigures(playerData.botStats, localization);
    for (int i = 0; i < 6; ++i) {
        const float x = 675.0f + 375.0f * static_cast<float>(i % 3);
        const float y = 165.0f + 155.0f * static_cast<float>(i / 3);
        Card(D2D1::RectF(x, y, x + 345, y + 130));
        DrawTextIn(figures[i].label, captionFormat.Get(), D2D1::RectF(x + 22, y + 16, x + 282, y + 46), Colors::Muted);
        DrawTextIn(figures[i].value, titleFormat.Get(), D2D1::RectF(x + 22, y + 50, x + 320, y + 112), Colors::Text);
    }

    Card(D2D1::RectF(675, 500, 1770, 810));
    DrawTextIn(Pick(L"СОЦІАЛЬНІ ФУНКЦІЇ / МАЙБУТНІЙ ONLINE-ПРОФІЛЬ", L"SOCIAL / FUTURE ONLINE PROFILE"),
               captionFormat.Get(), D2D1::RectF(710, 525, 1360, 555), Colors::Cyan);
    const std::wstring_view social[3] = {Pick(L"ЧАТ", L"CHAT"), Pick(L"ПІДПИСНИКИ", L"FOLLOWERS"),
                                         Pick(L"ПІДПИСКИ", L"FOLLOWING")};
    for (int j = 0; j < 3; ++j) {
        const float x = 710.0f + 340.0f * static_cast<float>(j);
        const D2D_RECT_F card = D2D1::RectF(x, 580, x + 310, 710);
        FillRounded(card, 16.0f, Colors::Surface);
        StrokeRounded(card, 16.0f, Colors::Border, 1.0f);
        DrawTextIn(social[j], headingFormat.Get(), D2D1::RectF(x + 15, 600, x + 295, 642), Colors::Text,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
        DrawChip(*this, D2D1::RectF(x + 45, 655, x + 265, 690), Colors::Cyan, Pick(L"НЕЗАБАРОМ", L"COMING SOON"));
    }
    DrawTextIn(Pick(L"Профіль зберігається локально та синхронізується з TARVONIX Account після входу.",
                    L"The profile remains locally available and synchronizes with TARVONIX Account after sign-in."),
               bodyFormat.Get(), D2D1::RectF(710, 744, 1715, 785), Colors::Muted);

    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
