// The field editing rules on plain values: limits, filters, selection, caret
// moves, key handling and whole surrogate pairs.
#include <windows.h>

#include <gtest/gtest.h>

#include "screens/text_editing.h"

namespace tarvo::ui {
namespace {

struct Field {
    std::string key;
    std::wstring value;
    EditCursor cursor;

    bool Type(std::wstring_view text) { return InsertIntoField(key, value, cursor, text); }
    FieldKeyResult Key(unsigned vk, bool ctrl = false, bool shift = false) {
        return ApplyFieldKey(value, cursor, vk, ctrl, shift);
    }
};

const std::wstring kSmile = L"\U0001F600";  // one character, two UTF-16 units

TEST(FieldInsert, ReplacesTheSelectionAndMovesTheCaretPastTheText) {
    Field f{"field.email", L"hello", {4, 1}};
    EXPECT_TRUE(f.Type(L"a"));
    EXPECT_EQ(f.value, L"hao");
    EXPECT_EQ(f.cursor.caret, 2u);
    EXPECT_EQ(f.cursor.anchor, 2u);

    Field full{"field.email", std::wstring(64, L'a'), {10, 13}};
    EXPECT_TRUE(full.Type(L"XYZW"));
    EXPECT_EQ(full.value.size(), 64u);
    EXPECT_EQ(full.value.substr(10, 4), L"XYZa") << "the room the selection freed, no more";
    EXPECT_EQ(full.cursor.caret, 13u);

    Field code{"field.code", L"1234", {1, 3}};
    EXPECT_TRUE(code.Type(L"z")) << "the selection goes and the error is cleared though nothing is inserted";
    EXPECT_EQ(code.value, L"14");
    EXPECT_EQ(code.cursor.caret, 1u);

    Field atLimit{"field.code", L"123456", {6, 6}};
    EXPECT_FALSE(atLimit.Type(L"1")) << "a full field keeps its error";
    Field nothing{"field.email", L"abc", {1, 2}};
    EXPECT_FALSE(nothing.Type(L""));
    EXPECT_EQ(nothing.value, L"abc") << "empty text does nothing, not even delete the selection";
}

TEST(FieldInsert, PastedControlCharactersAndLoneSurrogatesAreDropped) {
    Field f{"field.email"};
    f.Type(L"a\r\nb\tc\x7F" L"d\x01");
    EXPECT_EQ(f.value, L"abcd");
    Field halves{"field.nickname"};
    halves.Type(std::wstring(L"x") + L'\xD83D' + L"y" + L'\xDE00' + kSmile);
    EXPECT_EQ(halves.value, L"xy" + kSmile);
    EXPECT_EQ(FilterInsertedText("field.code", L"\xFF11" L"2"), L"2") << "only ASCII digits";
}

TEST(FieldInsert, TheCutAtTheLimitNeverSplitsAPair) {
    Field f{"field.email", std::wstring(63, L'a')};
    f.cursor = {63, 63};
    EXPECT_TRUE(f.Type(kSmile));
    EXPECT_EQ(f.value.size(), 63u) << "the pair does not fit in one unit";
    Field g{"field.email", std::wstring(62, L'a'), {62, 62}};
    g.Type(L"b" + kSmile);
    EXPECT_EQ(g.value, std::wstring(62, L'a') + L"b");
    Field h{"field.email", std::wstring(62, L'a'), {62, 62}};
    h.Type(kSmile + L"b");
    EXPECT_EQ(h.value, std::wstring(62, L'a') + kSmile);
}

TEST(FieldSelection, DeleteAndMove) {
    Field f{"field.email", L"hello", {1, 4}};
    EXPECT_TRUE(DeleteSelectedRange(f.value, f.cursor));
    EXPECT_EQ(f.value, L"ho");
    EXPECT_EQ(f.cursor.caret, 1u);
    EXPECT_FALSE(DeleteSelectedRange(f.value, f.cursor));

    MoveCaretTo(f.value, f.cursor, 1000, false);
    EXPECT_EQ(f.cursor.caret, 2u);
    EXPECT_EQ(f.cursor.anchor, 2u);
    MoveCaretTo(f.value, f.cursor, 0, true);
    EXPECT_EQ(f.cursor.caret, 0u);
    EXPECT_EQ(f.cursor.anchor, 2u);
    EXPECT_EQ(SelectedText(f.value, f.cursor), L"ho");
    EXPECT_EQ(SelectedText(L"ab", EditCursor{9, 1}), L"b") << "clipped to the value";
}

TEST(FieldKeys, EditingKeysAndTheirResults) {
    Field f{"field.email", L"hello", {5, 5}};
    EXPECT_EQ(f.Key('A', true), FieldKeyResult::Edited);
    EXPECT_EQ(f.cursor.caret, 5u);
    EXPECT_EQ(f.cursor.anchor, 0u);
    EXPECT_EQ(f.Key(VK_DELETE), FieldKeyResult::Edited);
    EXPECT_EQ(f.value, L"");

    Field g{"field.email", L"abc", {3, 3}};
    EXPECT_EQ(g.Key(VK_HOME, false, true), FieldKeyResult::Edited);
    EXPECT_EQ(SelectedText(g.value, g.cursor), L"abc");
    EXPECT_EQ(g.Key(VK_END), FieldKeyResult::Edited);
    EXPECT_EQ(g.cursor.anchor, 3u);
    EXPECT_EQ(g.Key(VK_BACK), FieldKeyResult::Edited);
    EXPECT_EQ(g.value, L"ab");
    EXPECT_EQ(g.Key(VK_LEFT, true), FieldKeyResult::Edited) << "Ctrl+Left acts as Left";
    EXPECT_EQ(g.cursor.caret, 1u);
    EXPECT_EQ(g.Key(VK_DELETE), FieldKeyResult::Edited);
    EXPECT_EQ(g.value, L"a");
    EXPECT_EQ(g.cursor.caret, 1u);
    EXPECT_EQ(g.Key(VK_RIGHT), FieldKeyResult::Edited);
    EXPECT_EQ(g.cursor.caret, 1u);
    g.Key(VK_HOME);
    EXPECT_EQ(g.Key(VK_LEFT), FieldKeyResult::Edited);
    EXPECT_EQ(g.cursor.caret, 0u);
    EXPECT_EQ(g.Key(VK_BACK), FieldKeyResult::Edited);
    EXPECT_EQ(g.value, L"a");

    EXPECT_EQ(g.Key(VK_RETURN), FieldKeyResult::Ignored);
    EXPECT_EQ(g.Key('A'), FieldKeyResult::Ignored) << "letters arrive as characters";
    EXPECT_EQ(g.Key('C', true), FieldKeyResult::Copy);
    EXPECT_EQ(g.Key('X', true), FieldKeyResult::Cut);
    EXPECT_EQ(g.Key('V', true), FieldKeyResult::Paste);
    EXPECT_EQ(g.Key(VK_ESCAPE), FieldKeyResult::Escape);

    Field stale{"field.email", L"ab", {9, 7}};
    stale.Key(VK_LEFT);
    EXPECT_EQ(stale.cursor.caret, 1u) << "positions are clamped before the key acts";
}

TEST(FieldKeys, CaretMovesAndDeletionsKeepPairsWhole) {
    const std::wstring value = L"a" + kSmile + L"b";  // units: a, high, low, b
    Field f{"field.email", value, {3, 3}};
    f.Key(VK_LEFT);
    EXPECT_EQ(f.cursor.caret, 1u);
    f.Key(VK_RIGHT);
    EXPECT_EQ(f.cursor.caret, 3u);
    f.Key(VK_BACK);
    EXPECT_EQ(f.value, L"ab");
    EXPECT_EQ(f.cursor.caret, 1u);

    Field d{"field.email", value, {1, 1}};
    d.Key(VK_DELETE);
    EXPECT_EQ(d.value, L"ab");

    Field s{"field.email", value, {4, 4}};
    s.Key(VK_LEFT, false, true);
    s.Key(VK_LEFT, false, true);
    EXPECT_EQ(SelectedText(s.value, s.cursor), kSmile + L"b");

    EditCursor c;
    MoveCaretTo(value, c, 2, false);
    EXPECT_EQ(c.caret, 3u) << "a position inside a pair moves past it";
    EXPECT_EQ(SnapToCaretStop(value, 2), 3u);
    EXPECT_EQ(PreviousCaretStop(value, 3), 1u);
    EXPECT_EQ(NextCaretStop(value, 1), 3u);

    Field inside{"field.email", value, {2, 2}};
    inside.Key(VK_BACK);
    EXPECT_EQ(inside.value, L"ab") << "a stale caret inside a pair is snapped first";
}

TEST(FieldKeys, TypedHalvesAreJoined) {
    CharacterComposer composer;
    EXPECT_EQ(composer.Feed(L'a'), L"a");
    EXPECT_EQ(composer.Feed(kSmile[0]), L"");
    EXPECT_EQ(composer.Feed(kSmile[1]), kSmile);
    EXPECT_EQ(composer.Feed(kSmile[1]), L"") << "a low half alone is dropped";
    composer.Feed(kSmile[0]);
    EXPECT_EQ(composer.Feed(L'b'), L"b") << "a high half without its partner is dropped";
}

TEST(FieldKinds, OnePasswordSetForDrawingCaretAndClipboard) {
    for (const char* key : {"field.password", "field.repeat", "field.new_password", "field.local_password",
                            "field.backend.dbpassword", "field.backend.smtppassword"}) {
        EXPECT_TRUE(IsPasswordField(key)) << key;
    }
    for (const char* key : {"field.email", "field.code", "field.nickname", "field.message", "field.passwordx"}) {
        EXPECT_FALSE(IsPasswordField(key)) << key;
    }
}

}  // namespace
}  // namespace tarvo::ui
