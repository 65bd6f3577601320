// The profile screen painted off-screen: regions, identity lines and figures in
// both languages, the initials placeholder, and an avatar image once one is set.
#include "player_screens/player_canvas.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

constexpr D2D_RECT_F kAvatar{182, 220, 510, 548};
constexpr D2D_RECT_F kName{120, 575, 570, 635};
constexpr D2D_RECT_F kRank{205, 645, 485, 688};
constexpr D2D_RECT_F kId{145, 790, 565, 820};
constexpr D2D_RECT_F kCreated{145, 824, 565, 854};

D2D_RECT_F FigureValue(int card) {
    const float x = 675.0f + 375.0f * static_cast<float>(card % 3), y = 165.0f + 155.0f * static_cast<float>(card / 3);
    return D2D1::RectF(x + 22, y + 50, x + 320, y + 112);
}
D2D_RECT_F FigureLabel(int card) {
    const float x = 675.0f + 375.0f * static_cast<float>(card % 3), y = 165.0f + 155.0f * static_cast<float>(card / 3);
    return D2D1::RectF(x + 22, y + 16, x + 282, y + 46);
}

class ProfileScreen : public PlayerCanvas {
protected:
    void SetUp() override {
        PlayerCanvas::SetUp();
        shell->router.Navigate(ScreenId::Profile);
    }
};

TEST_F(ProfileScreen, AvatarButtonsBackAndFooter) {
    PaintScreen();
    ASSERT_EQ(Commands(),
              (std::vector<std::string>{"profile.avatar", "profile.avatar.sample", "nav.back", "nav.privacy"}));
    ExpectRect(shell->hitRegions[0].rect, 145, 710, 340, 766);
    ExpectRect(shell->hitRegions[1].rect, 352, 710, 547, 766);
    ExpectRect(shell->hitRegions[2].rect, 72, 928, 250, 990);
    // The narrow heading face fits the label at the heading size.
    ExpectText(L"ОБРАТИ ФАЙЛ", L"ОБРАТИ ФОТО", Heading(), D2D1::RectF(145, 710, 340, 766), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ROZIZODIVO", L"", Heading(), D2D1::RectF(352, 710, 547, 766), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(ProfileScreen, TheLocalProfileWithoutAccountInUkrainian) {
    PaintScreen();
    ExpectText(L"ПРОФІЛЬ", L"PROFILE", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"LOC", L"LOCA", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"LOCAL_OPERATOR", L"LOCAL OPERATOR", Title(), kName, Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"UNRANKED  •  LEVEL 1", L"UNRANKED  •  LEVEL 2", Caption(), kRank, Colors::Accent,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ID ГРАВЦЯ  LOCAL", L"PLAYER ID  LOCAL", Caption(), kId, Colors::Muted);
    ExpectText(L"АКАУНТ СТВОРЕНО  \u2014", L"ACCOUNT CREATED  \u2014", Caption(), kCreated, Colors::Muted);
    ExpectText(L"МАТЧІ", L"MATCHES", Caption(), FigureLabel(0), Colors::Muted);
    ExpectText(L"0.0%", L"0.00%", Title(), FigureValue(3), Colors::Text);
    ExpectText(L"0 MIN", L"1 MIN", Title(), FigureValue(5), Colors::Text);
    ExpectText(L"ПІДПИСНИКИ", L"FOLLOWERS", Heading(), D2D1::RectF(1065, 600, 1345, 642), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"НЕЗАБАРОМ", L"COMING SOON", Caption(), D2D1::RectF(755, 655, 975, 690), Colors::Cyan,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    // The placeholder ring is cyan and two units wide.
    const Rgb ring = ScreenPixel(346, 220);
    EXPECT_GT(ring.b, 200);
    EXPECT_GT(ring.g, 150);
}

TEST_F(ProfileScreen, AccountFiguresAndCreationInEnglish) {
    English();
    auto& p = shell->playerData;
    p.identity.playerKey = L"p-7781";
    p.identity.displayName = L"Kestrel";
    p.identity.rankLabel = L"GOLD";
    p.identity.level = 14;
    p.botStats.trainingsStarted = 21;
    p.botStats.kills = 40;
    p.botStats.deaths = 9;
    p.botStats.shots = 8;
    p.botStats.hits = 3;
    p.botStats.headshots = 6;
    p.botStats.playSeconds = 119.9;
    auth::LocalAccountRecord record;
    record.createdAt = L"2025-03-14T09:26:53Z";
    shell->accountRecord = record;
    PaintScreen();
    ExpectText(L"PROFILE", L"ПРОФІЛЬ", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"Kes", L"KES", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"Kestrel", L"LOCAL_OPERATOR", Title(), kName, Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"GOLD  •  LEVEL 14", L"GOLD  •  LEVEL 1", Caption(), kRank, Colors::Accent, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"PLAYER ID  p-7781", L"PLAYER ID  LOCAL", Caption(), kId, Colors::Muted);
    ExpectText(L"ACCOUNT CREATED  2025-03-14T09:26:53Z", L"ACCOUNT CREATED  \u2014", Caption(), kCreated, Colors::Muted);
    const wchar_t* values[6] = {L"21", L"40", L"9", L"37.5%", L"6", L"1 MIN"};
    const wchar_t* wrong[6] = {L"12", L"4", L"6", L"37.50%", L"9", L"2 MIN"};
    for (int i = 0; i < 6; ++i) ExpectText(values[i], wrong[i], Title(), FigureValue(i), Colors::Text);
    ExpectText(L"HEADSHOTS", L"ХЕДШОТИ", Caption(), FigureLabel(4), Colors::Muted);
    ExpectText(L"SOCIAL / FUTURE ONLINE PROFILE", L"СОЦІАЛЬНІ ФУНКЦІЇ / МАЙБУТНІЙ ONLINE-ПРОФІЛЬ", Caption(),
               D2D1::RectF(710, 525, 1360, 555), Colors::Cyan);
    ExpectText(L"SELECT FILE", L"ОБРАТИ ФАЙЛ", Heading(), D2D1::RectF(145, 710, 340, 766), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(ProfileScreen, EmptyNameShowsTheBrandInitials) {
    shell->playerData.identity.displayName.clear();
    PaintScreen();
    ExpectText(L"TV", L"LOC", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(ProfileScreen, AnImageAvatarReplacesTheInitialsUnderAThinRing) {
    const auto file = shell->playerStore.ProfileFolder() / L"avatar.png";
    WriteSolidPng(file, 64, 64, Rgb{220, 30, 40});
    shell->playerData.avatar.imagePath = file.wstring();
    shell->playerData.avatar.customImage = true;
    PaintScreen();
    const Rgb inside = ScreenPixel(346, 384);
    EXPECT_GT(inside.r, 200);
    EXPECT_LT(inside.g, 60);
    const Rgb corner = ScreenPixel(186, 224);
    EXPECT_GT(corner.r, 200) << "the image fills the whole square";
    ExpectNoText(L"LOC", kAvatar);
    EXPECT_EQ(shell->bitmapCache.count(file), 1u);
}

TEST_F(ProfileScreen, AnAvatarPathOutsideTheProfileFolderIsNotDrawn) {
    // The program only ever puts avatars into the profile folder; an edited profile file may
    // name any image on the machine, directly or by climbing out of that folder.
    const auto elsewhere = Root() / L"pictures" / L"red.png";
    WriteSolidPng(elsewhere, 64, 64, Rgb{220, 30, 40});
    shell->playerData.avatar.customImage = true;
    for (const std::filesystem::path& path :
         {elsewhere, shell->playerStore.ProfileFolder() / L".." / L"pictures" / L"red.png"}) {
        shell->playerData.avatar.imagePath = path.wstring();
        PaintScreen();
        ExpectText(L"LOC", L"", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
        EXPECT_LT(ScreenPixel(346, 384).r, 120) << path.string();
        EXPECT_TRUE(shell->bitmapCache.empty()) << "never decoded";
    }
}

TEST_F(ProfileScreen, AnUnreadableOrHugeAvatarFallsBackToTheInitials) {
    shell->playerData.avatar.customImage = true;
    shell->playerData.avatar.imagePath = (Root() / L"gone.png").wstring();
    PaintScreen();
    ExpectText(L"LOC", L"", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    const Rgb ring = ScreenPixel(346, 220);
    EXPECT_LT(ring.b, 150) << "the ring keeps the thin custom look";

    // A file put in place of the avatar after its import: larger than any avatar may
    // be, so it is neither decoded nor cached.
    const auto huge = shell->playerStore.ProfileFolder() / L"huge.png";
    WriteSolidPng(huge, 4200, 2, Rgb{220, 30, 40});
    shell->playerData.avatar.imagePath = huge.wstring();
    PaintScreen();
    ExpectText(L"LOC", L"", Display(), kAvatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    EXPECT_TRUE(shell->bitmapCache.empty());

    const auto edge = shell->playerStore.ProfileFolder() / L"edge.png";
    WriteSolidPng(edge, 4096, 2, Rgb{220, 30, 40});
    shell->playerData.avatar.imagePath = edge.wstring();
    PaintScreen();
    EXPECT_EQ(shell->bitmapCache.count(edge), 1u) << "4096 pixels is still allowed";
}

// The home screen's badge follows the profile's rules for its avatar and initials.
TEST_F(ProfileScreen, TheHomeBadgeUsesTheProfileRules) {
    shell->router.Navigate(ScreenId::MainMenu);
    constexpr D2D_RECT_F kBadge{98, 196, 224, 322};
    // Three UTF-16 units, not three characters: the pair of the first counts as two.
    const std::wstring face = L"\xD83D\xDE00";
    shell->playerData.identity.displayName = face + L"abc";
    PaintScreen();
    ExpectText(face + L"a", face + L"ab", Heading(), kBadge, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);

    // An image wider than any avatar may be is neither decoded nor drawn there either.
    const auto huge = shell->playerStore.ProfileFolder() / L"avatar.png";
    WriteSolidPng(huge, 4200, 2, Rgb{220, 30, 40});
    shell->playerData.avatar.imagePath = huge.wstring();
    shell->playerData.avatar.customImage = true;
    PaintScreen();
    EXPECT_EQ(shell->bitmapCache.count(huge), 0u);
    ExpectText(face + L"a", L"", Heading(), kBadge, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
}

}  // namespace
}  // namespace tarvo::ui::test
