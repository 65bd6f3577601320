// The editing table on the account screens: clicks focus the fields, typed and
// pasted text keeps each field's limit and filter, selections are replaced, and
// copy and cut use the real clipboard under the masking rule.
#include "text_editing/field_on_screen.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class EditingTable : public FieldOnScreen {};

TEST_F(EditingTable, TheCodeFieldKeepsSixDigits) {
    Show(ScreenId::VerifyEmail);
    Click("field.code");
    EXPECT_EQ(shell->focusedField, "field.code");
    Type(L"12a3");
    EXPECT_EQ(Value("field.code"), L"123");
    Type(L"4567");
    EXPECT_EQ(Value("field.code"), L"123456") << "a seventh digit does nothing";

    shell->fieldErrors["field.code"] = L"wrong code";
    Ctrl('A');
    Type(L"x");
    EXPECT_EQ(Value("field.code"), L"") << "a letter removes the selection and inserts nothing";
    EXPECT_EQ(shell->fieldErrors.count("field.code"), 0u);

    SetClipboard(L"98 76 54 32");
    Ctrl('V');
    EXPECT_EQ(Value("field.code"), L"987654");
    EXPECT_EQ(shell->caret, 6u);
}

TEST_F(EditingTable, OrdinaryFieldsTakeSixtyFourUnitsTheMessageOneHundredSixty) {
    const std::wstring hundred = std::wstring(50, L'a') + std::wstring(50, L'b');
    SetClipboard(hundred);
    Show(ScreenId::ForgotPassword);
    Click("field.email");
    Ctrl('V');
    EXPECT_EQ(Value("field.email"), hundred.substr(0, 64));
    Ctrl('V');
    EXPECT_EQ(Value("field.email").size(), 64u) << "a full field takes nothing more";

    // The owner console's message field is edited by the same operations.
    shell->focusedField = "field.message";
    shell->caret = shell->selectionAnchor = 0;
    Ctrl('V');
    EXPECT_EQ(Value("field.message"), hundred);
    Ctrl('V');
    EXPECT_EQ(Value("field.message").size(), 160u);
    EXPECT_EQ(Value("field.message").substr(100), hundred.substr(0, 60));
}

TEST_F(EditingTable, ASelectionIsReplacedWithinTheRoomItFrees) {
    Show(ScreenId::Login);
    Click("field.email");
    Type(L"hello");
    Key(VK_LEFT);
    Shift(VK_LEFT);
    Shift(VK_LEFT);
    Shift(VK_LEFT);
    EXPECT_EQ(shell->caret, 1u);
    EXPECT_EQ(shell->selectionAnchor, 4u);
    Type(L"a");
    EXPECT_EQ(Value("field.email"), L"hao");
    EXPECT_EQ(shell->caret, 2u);
    EXPECT_EQ(shell->selectionAnchor, 2u);

    Ctrl('A');
    SetClipboard(std::wstring(64, L'z'));
    Ctrl('V');
    Key(VK_HOME);
    Shift(VK_RIGHT);
    Shift(VK_RIGHT);
    Shift(VK_RIGHT);
    Type(L"ABCDE");
    EXPECT_EQ(Value("field.email"), L"ABC" + std::wstring(61, L'z')) << "three units freed, three inserted";
}

TEST_F(EditingTable, ShiftHomeFromTheEndSelectsTheWholeValueAndDrawsIt) {
    Show(ScreenId::Login);
    Click("field.email");
    Type(L"operator@tarvonix.net");
    const D2D_RECT_F value = ValueRect(Region("field.email").rect, false);
    EXPECT_EQ(SelectionPixels(value), 0);
    Shift(VK_HOME);
    EXPECT_EQ(shell->caret, 0u);
    EXPECT_EQ(shell->selectionAnchor, 21u);
    // The highlight spans the text: hit testing or, under Wine, prefix measuring.
    const float width = PrefixWidth(L"operator@tarvonix.net", 21, value);
    const int highlighted = SelectionPixels(value);
    EXPECT_GT(highlighted, static_cast<int>(width * 8)) << "a band about one line high under the text";
    EXPECT_EQ(SelectionPixels(D2D1::RectF(value.left + width + 4, value.top, value.right, value.bottom)), 0);

    Ctrl('C');
    EXPECT_EQ(Clipboard(), L"operator@tarvonix.net");
    Key(VK_DELETE);
    EXPECT_EQ(Value("field.email"), L"");
}

TEST_F(EditingTable, CutAndCopyUseTheRealClipboard) {
    Show(ScreenId::ForgotPassword);
    Click("field.email");
    Type(L"ann@mail.ua");
    SetClipboard(L"before");
    Key(VK_END);
    Ctrl('C');
    EXPECT_EQ(Clipboard(), L"before") << "nothing selected, nothing copied";
    Shift(VK_LEFT);
    Shift(VK_LEFT);
    Ctrl('C');
    EXPECT_EQ(Clipboard(), L"ua");
    EXPECT_EQ(Value("field.email"), L"ann@mail.ua");
    Key(VK_HOME);
    for (int i = 0; i < 4; ++i) Shift(VK_RIGHT);
    shell->fieldErrors["field.email"] = L"error";
    Ctrl('X');
    EXPECT_EQ(Clipboard(), L"ann@");
    EXPECT_EQ(Value("field.email"), L"mail.ua");
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 0u);
    Key(VK_END);
    Ctrl('V');
    EXPECT_EQ(Value("field.email"), L"mail.uaann@");
}

TEST_F(EditingTable, MaskedFieldsCopyOnlyOnceRevealed) {
    struct Case {
        ScreenId screen;
        bool registration;
        const char* key;
    };
    const Case cases[] = {
        {ScreenId::Login, false, "field.password"},
        {ScreenId::Login, true, "field.repeat"},
        {ScreenId::ResetPassword, false, "field.new_password"},
        {ScreenId::LinkAccount, false, "field.local_password"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        shell->registerTab = c.registration;
        Show(c.screen);
        Click(c.key);
        ASSERT_EQ(shell->focusedField, c.key);
        Type(L"S3cretPass");
        SetClipboard(L"untouched");
        Ctrl('A');
        Ctrl('C');
        Ctrl('X');
        EXPECT_EQ(Clipboard(), L"untouched");
        EXPECT_EQ(Value(c.key), L"S3cretPass") << "a masked cut keeps the text";

        Click(std::string("reveal.") + c.key);
        EXPECT_EQ(shell->focusedField, c.key) << "the eye keeps the focus";
        EXPECT_TRUE(shell->revealedFields[c.key]);
        Ctrl('A');
        Ctrl('X');
        EXPECT_EQ(Clipboard(), L"S3cretPass");
        EXPECT_EQ(Value(c.key), L"");
    }
}

TEST_F(EditingTable, PastedControlCharactersAndLoneHalvesAreDropped) {
    Show(ScreenId::Login);
    Click("field.email");
    SetClipboard(std::wstring(L"a\tb\r\nc\x7F") + L'\x1B' + L"d" + L'\xDC00' + L"\U0001F600");
    Ctrl('V');
    EXPECT_EQ(Value("field.email"), L"abcd\U0001F600");
}

TEST_F(EditingTable, SurrogatePairsStayWholeThroughKeysAndCut) {
    Show(ScreenId::Login);
    Click("field.email");
    const std::wstring smile = L"\U0001F600";
    Type(L"a" + smile + L"b");
    ASSERT_EQ(Value("field.email"), L"a" + smile + L"b");
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(shell->caret, 1u) << "one press steps over the whole pair";
    Key(VK_RIGHT);
    EXPECT_EQ(shell->caret, 3u);
    Shift(VK_LEFT);
    Ctrl('X');
    EXPECT_EQ(Clipboard(), smile);
    EXPECT_EQ(Value("field.email"), L"ab");
    Type(smile);
    Key(VK_BACK);
    EXPECT_EQ(Value("field.email"), L"ab");
    Key(VK_HOME);
    Type(smile);
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(Value("field.email"), L"ab");
}

TEST_F(EditingTable, AnAltGrAtSignIsTypedCtrlShortcutsAreNot) {
    Show(ScreenId::Login);
    Click("field.email");
    Type(L"ann");
    {
        HeldKeys altGr({VK_CONTROL, VK_MENU});
        shell->HandleMessage(WM_CHAR, L'@', 0);
    }
    {
        HeldKeys ctrl({VK_CONTROL});
        shell->HandleMessage(WM_CHAR, 0x16, 0);  // the character Ctrl+V also produces
    }
    Type(L"mail.ua");
    EXPECT_EQ(Value("field.email"), L"ann@mail.ua");
}

// Drawing, caret placement and the clipboard agree on which fields are masked: every
// field drawn with a reveal toggle is in the one password set, and the set's fields
// on these screens all have one.
TEST_F(EditingTable, TheMaskedFieldsOfTheScreensAreThePasswordSet) {
    const std::pair<ScreenId, bool> screens[] = {
        {ScreenId::Login, false},        {ScreenId::Login, true},          {ScreenId::VerifyEmail, false},
        {ScreenId::VerifyDevice, false}, {ScreenId::ForgotPassword, false}, {ScreenId::ResetPassword, false},
        {ScreenId::LinkAccount, false},
    };
    for (const auto& [screen, registration] : screens) {
        shell->registerTab = registration;
        Show(screen);
        for (const auto& region : shell->hitRegions) {
            const std::string& command = region.command;
            if (command.rfind("reveal.", 0) == 0) {
                EXPECT_TRUE(IsPasswordField(command.substr(7))) << command;
            } else if (command.rfind("field.", 0) == 0 && IsPasswordField(command)) {
                EXPECT_EQ(Region("reveal." + command).command, "reveal." + command);
            }
        }
    }
}

}  // namespace
}  // namespace tarvo::ui::test
