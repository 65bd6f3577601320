// The inventory screen painted off-screen: tabs, the default items with their
// previews and badges, empty categories, and what the Parts leave unbounded.
#include "player/local_player_data_store.h"
#include "player_screens/player_canvas.h"
#include "shell/shell_logic.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class InventoryScreen : public PlayerCanvas {
protected:
    void SetUp() override {
        PlayerCanvas::SetUp();
        shell->router.Navigate(ScreenId::Inventory);
    }

    // Texts of the card n (first row: x = 105 + 550 n, y = 330).
    static D2D_RECT_F Badge(float x, float y) { return D2D1::RectF(x + 40, y + 40, x + 208, y + 75); }
    static D2D_RECT_F Type(float x, float y) { return D2D1::RectF(x + 24, y + 286, x + 294, y + 316); }
    static D2D_RECT_F Name(float x, float y) { return D2D1::RectF(x + 24, y + 312, x + 470, y + 350); }
    static D2D_RECT_F Detail(float x, float y) { return D2D1::RectF(x + 24, y + 352, x + 475, y + 382); }
    static constexpr D2D_RECT_F kCount{105, 282, 605, 312};
};

TEST_F(InventoryScreen, SixTabsThenBackThenFooter) {
    PaintScreen();
    const std::vector<std::string> expected{"inventory.tab.0", "inventory.tab.1", "inventory.tab.2", "inventory.tab.3",
                                            "inventory.tab.4", "inventory.tab.5", "nav.back",        "nav.privacy"};
    ASSERT_EQ(Commands(), expected);
    for (int i = 0; i < 6; ++i) ExpectRect(shell->hitRegions[i].rect, 72.0f + 296 * i, 170, 342.0f + 296 * i, 228);
    EXPECT_GT(ScreenPixel(150, 175).g, 200) << "the open tab is primary";
    EXPECT_LT(ScreenPixel(150 + 296, 175).g, 100) << "the others are plain";
    ExpectText(L"ПЕРСОНАЖІ", L"CHARACTERS", Heading(), D2D1::RectF(368, 170, 638, 228), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ПІДВІСКИ", L"CHARMS", Heading(), D2D1::RectF(72 + 296 * 4, 170, 342 + 296 * 4, 228), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(InventoryScreen, DefaultRifleCardInUkrainian) {
    PaintScreen();
    ExpectText(L"ІНВЕНТАР", L"INVENTORY", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"ВАШІ ПРЕДМЕТИ  •  1", L"ВАШІ ПРЕДМЕТИ  •  2", Caption(), kCount, Colors::Cyan);
    ExpectText(L"ЕКІПІРОВАНО", L"EQUIPPED", Caption(), Badge(105, 330), Colors::Accent, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ЗБРОЯ", L"WEAPON", Caption(), Type(105, 330), Colors::Muted);
    ExpectText(L"ШТУРМОВА ГВИНТІВКА", L"ASSAULT RIFLE", Heading(), Name(105, 330), Colors::Text);
    ExpectText(L"30 / 120 • ЛОКАЛЬНИЙ PROTOTYPE", L"30 / 120 • LOCAL PROTOTYPE", Caption(), Detail(105, 330),
               Colors::Accent);
    // The generated preview is drawn and framed in cyan, not the unavailable look.
    const Rgb frame = ScreenPixel(105 + 22 + 200, 330 + 22);
    EXPECT_GT(frame.b, 150);
    EXPECT_LT(frame.r, 120);
    EXPECT_GT(ScreenLit(127 + 20, 352 + 60, 593 - 20, 602 - 20), 2000) << "the rifle";
    EXPECT_EQ(shell->bitmapCache.size(), 1u);
    // Only one card: nothing in the second column.
    EXPECT_EQ(ScreenLit(655 + 30, 400, 1165 - 30, 700), 0);
}

TEST_F(InventoryScreen, CharacterTabInEnglish) {
    English();
    shell->Dispatch("inventory.tab.1");
    ASSERT_EQ(shell->inventoryTab, 1);
    PaintScreen();
    ExpectText(L"INVENTORY", L"ІНВЕНТАР", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"YOUR ITEMS  •  1", L"YOUR ITEMS  •  0", Caption(), kCount, Colors::Cyan);
    ExpectText(L"EQUIPPED", L"ЕКІПІРОВАНО", Caption(), Badge(105, 330), Colors::Accent, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"CHARACTER", L"ПЕРСОНАЖ", Caption(), Type(105, 330), Colors::Muted);
    ExpectText(L"ROZIZODIVO", L"ASSAULT RIFLE", Heading(), Name(105, 330), Colors::Text);
    ExpectText(L"TEXTURED • 4K • LOD0 80K", L"30 / 120 • LOCAL PROTOTYPE", Caption(), Detail(105, 330), Colors::Accent);
    ExpectText(L"WEAPONS", L"ЗБРОЯ", Heading(), D2D1::RectF(72, 170, 342, 228), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    EXPECT_GT(ScreenLit(127 + 100, 352 + 20, 593 - 100, 602 - 20), 400) << "the character";
}

TEST_F(InventoryScreen, EmptyCategoriesSaySoInBothLanguages) {
    for (int tab : {2, 3, 4, 5}) {
        shell->Dispatch("inventory.tab." + std::to_string(tab));
        PaintScreen();
        ExpectText(L"ВАШІ ПРЕДМЕТИ  •  0", L"ВАШІ ПРЕДМЕТИ  •  1", Caption(), kCount, Colors::Cyan);
        ExpectText(L"У ЦІЙ КАТЕГОРІЇ ЩЕ НЕМАЄ ПРЕДМЕТІВ", L"NO OWNED ITEMS IN THIS CATEGORY", Caption(),
                   D2D1::RectF(690, 455, 1230, 520), Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
        EXPECT_EQ(ScreenLit(127, 352, 480, 602), 0) << "no placeholder slot";
    }
    English();
    PaintScreen();
    ExpectText(L"This is the honest local inventory empty state. No fake slots are generated.", L"", Body(),
               D2D1::RectF(500, 550, 1420, 610), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"NO OWNED ITEMS IN THIS CATEGORY", L"У ЦІЙ КАТЕГОРІЇ ЩЕ НЕМАЄ ПРЕДМЕТІВ", Caption(),
               D2D1::RectF(690, 455, 1230, 520), Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(InventoryScreen, TabNumbersAreClampedAndJunkIgnored) {
    shell->Dispatch("inventory.tab.6");
    EXPECT_EQ(shell->inventoryTab, 5);
    shell->Dispatch("inventory.tab.-3");
    EXPECT_EQ(shell->inventoryTab, 0);
    shell->Dispatch("inventory.tab.2");
    shell->Dispatch("inventory.tab.x");
    EXPECT_EQ(shell->inventoryTab, 2) << "no number: nothing changes";
    shell->Dispatch("inventory.tab.99999999999999");
    EXPECT_EQ(shell->inventoryTab, 5);
}

TEST_F(InventoryScreen, AMissingPreviewIsFramedInDangerAndTriedAgain) {
    auto& items = shell->playerData.inventory.items;
    items[0].previewPath = L"inventory/no-such-preview.png";
    items[0].status = static_cast<player::InventoryStatus>(9);
    PaintScreen();
    const Rgb frame = ScreenPixel(105 + 22 + 200, 330 + 22);
    EXPECT_GT(frame.r, 200);
    EXPECT_LT(frame.b, 140);
    ExpectText(L"ПЕРЕГЛЯД НЕДОСТУПНИЙ", L"PREVIEW UNAVAILABLE", Body(), D2D1::RectF(127, 352, 593, 602), Colors::Danger,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"OWNED", L"У ВЛАСНОСТІ", Caption(), Badge(105, 330), Colors::Accent, DWRITE_TEXT_ALIGNMENT_CENTER);
    EXPECT_TRUE(shell->bitmapCache.empty()) << "nothing cached, so the next paint tries again";
    // The rest of the card is drawn as usual.
    ExpectText(L"ШТУРМОВА ГВИНТІВКА", L"", Heading(), Name(105, 330), Colors::Text);
}

TEST_F(InventoryScreen, AFourthItemGoesBelowThePanelAndBackStaysOnTop) {
    auto& items = shell->playerData.inventory.items;
    for (int i = 0; i < 3; ++i) {
        player::InventoryItem extra = items[0];
        extra.id = L"weapon.extra." + std::to_wstring(i);
        extra.nameUk = L"ДОДАТКОВА " + std::to_wstring(i);
        extra.status = player::InventoryStatus::Locked;
        items.push_back(extra);
    }
    PaintScreen();
    ExpectText(L"ВАШІ ПРЕДМЕТИ  •  4", L"ВАШІ ПРЕДМЕТИ  •  1", Caption(), kCount, Colors::Cyan);
    ExpectText(L"ЗАБЛОКОВАНО", L"ЕКІПІРОВАНО", Caption(), Badge(105 + 550, 330), Colors::Accent,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    EXPECT_GT(ScreenLit(260, 782 + 10, 593, 1000), 500) << "the fourth card's preview, from y = 760 + 22";
    EXPECT_EQ(ScreenLit(260, 725, 593, 758), 0) << "and nothing above that card";
    const HitRegion* back = FindHitRegion(shell->hitRegions, D2D1::Point2F(100, 950));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->command, "nav.back");
}

}  // namespace
}  // namespace tarvo::ui::test
