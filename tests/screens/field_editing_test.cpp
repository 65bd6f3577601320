// Editing the focused field through the shell: typed and pasted text, keys through
// the window procedure, the real clipboard, and caret placement by click.
#include <thread>

#include "screens/offscreen_canvas.h"
#include "shell/clipboard.h"
#include "support/clipboard_lock.h"

namespace tarvo::ui::test {
namespace {

class FieldEditing : public CanvasFixture {
protected:
    testing::ClipboardLock clipboardLock;  // other test processes share the clipboard

    void SetUp() override {
        CanvasFixture::SetUp();
        shell->window = owner.Handle();
        shell->router.Navigate(navigation::ScreenId::Login);
    }
    void TearDown() override { shell->window = nullptr; }

    void Focus(const std::string& key, std::wstring value) {
        shell->fieldValues[key] = std::move(value);
        shell->focusedField = key;
        shell->caret = shell->selectionAnchor = shell->fieldValues[key].size();
    }
    void Key(unsigned vk) { shell->HandleMessage(WM_KEYDOWN, vk, 0); }
    void Char(wchar_t c) { shell->HandleMessage(WM_CHAR, c, 0); }
    const std::wstring& Value() { return shell->fieldValues[shell->focusedField]; }

    MessageWindow owner;
};

TEST_F(FieldEditing, TypingGoesThroughWmCharWithTheAltGrRule) {
    Focus("field.email", L"");
    for (wchar_t c : std::wstring(L"ann")) Char(c);
    {
        HeldKeys ctrl({VK_CONTROL});
        Char(L'x');  // Ctrl held without Alt: a shortcut, not text
        Char(0x01);
    }
    {
        HeldKeys altGr({VK_CONTROL, VK_MENU});
        Char(L'@');  // AltGr is Ctrl+Alt on European layouts
    }
    Char(0x08);  // Backspace arrives as a key, not as text
    Char(L'\r');
    for (wchar_t c : std::wstring(L"mail.ua")) Char(c);
    Char(L'\xD83D');
    Char(L'\xDE00');
    EXPECT_EQ(Value(), L"ann@mail.ua\U0001F600");

    shell->focusedField.clear();
    Char(L'z');
    EXPECT_EQ(shell->fieldValues["field.email"], L"ann@mail.ua\U0001F600") << "no focused field, no typing";
}

TEST_F(FieldEditing, KeysEditAndEraseTheFieldError) {
    Focus("field.email", L"hello");
    shell->fieldErrors["field.email"] = L"error";
    Key(VK_RETURN);
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 1u) << "Enter does nothing";
    Key(VK_LEFT);
    EXPECT_EQ(shell->caret, 4u);
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 0u) << "even a caret move erases the error";
    {
        HeldKeys shift({VK_SHIFT});
        Key(VK_HOME);
    }
    EXPECT_EQ(shell->caret, 0u);
    EXPECT_EQ(shell->selectionAnchor, 4u);
    {
        HeldKeys ctrl({VK_CONTROL});
        Key('A');
    }
    EXPECT_EQ(shell->caret, 5u);
    EXPECT_EQ(shell->selectionAnchor, 0u);
    Key(VK_DELETE);
    EXPECT_EQ(Value(), L"");
    shell->fieldErrors["field.email"] = L"error";
    Key(VK_ESCAPE);  // Escape goes to the screen rule and keeps the error
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 1u);
}

TEST_F(FieldEditing, OperationsOfTheFocusedField) {
    shell->InsertText(L"ignored");  // nothing is focused
    EXPECT_EQ(shell->fieldValues.count(""), 0u);

    Focus("field.nickname", L"hello");
    shell->caret = 1;
    shell->selectionAnchor = 4;
    shell->fieldErrors["field.nickname"] = L"x";
    shell->InsertText(L"a");
    EXPECT_EQ(Value(), L"hao");
    EXPECT_EQ(shell->fieldErrors.count("field.nickname"), 0u);
    shell->MoveCaret(1000, false);
    EXPECT_EQ(shell->caret, 3u);
    shell->MoveCaret(0, true);
    shell->DeleteSelection();
    EXPECT_EQ(Value(), L"");
    EXPECT_EQ(shell->caret, 0u);
}

TEST_F(FieldEditing, MaskedFieldsNeverReachTheClipboard) {
    for (const char* key : {"field.password", "field.new_password", "field.local_password", "field.backend.smtppassword"}) {
        ASSERT_TRUE(PutTextOnClipboard(owner.Handle(), L"untouched"));
        Focus(key, L"S3cretPass");
        shell->selectionAnchor = 0;
        shell->CopySelectionToClipboard(false);
        shell->CopySelectionToClipboard(true);
        EXPECT_EQ(ReadClipboardText(owner.Handle()), L"untouched") << key;
        EXPECT_EQ(Value(), L"S3cretPass") << key;

        shell->Dispatch(std::string("reveal.") + key);
        shell->CopySelectionToClipboard(false);
        EXPECT_EQ(ReadClipboardText(owner.Handle()), L"S3cretPass") << key;
    }
}

TEST_F(FieldEditing, ACutThatCannotReachTheClipboardLosesNothing) {
    ASSERT_TRUE(PutTextOnClipboard(owner.Handle(), L"kept"));
    Focus("field.email", L"precious");
    shell->selectionAnchor = 0;
    // Another program holds the clipboard open.
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        MessageWindow foreign;
        const BOOL held = OpenClipboard(foreign.Handle());
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held) CloseClipboard();
    });
    WaitForSingleObject(opened, 10000);
    shell->fieldErrors["field.email"] = L"error";
    shell->CopySelectionToClipboard(true);
    EXPECT_EQ(Value(), L"precious");
    EXPECT_EQ(shell->caret, 8u);
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 1u);
    SetEvent(release);
    other.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(ReadClipboardText(owner.Handle()), L"kept");
}

class CaretPlacement : public FieldEditing {
protected:
    size_t ClickAt(const std::string& key, float x) {
        shell->hitRegions = {HitRegion{rect, key}};
        shell->canvasScale = 1.0f;
        shell->canvasOffset = D2D1::Point2F(0, 0);
        shell->OnClick(static_cast<int>(x), static_cast<int>(rect.top + 45));
        return shell->caret;
    }
    const D2D_RECT_F rect = D2D1::RectF(300, 200, 900, 270);
};

TEST_F(CaretPlacement, ShiftClickExtendsFromTheOldAnchor) {
    shell->fieldValues["field.email"] = L"WWWW";
    ClickAt("field.email", 305);
    EXPECT_EQ(shell->selectionAnchor, 0u);
    {
        HeldKeys shift({VK_SHIFT});
        ClickAt("field.email", 880);
    }
    EXPECT_EQ(shell->caret, 4u);
    EXPECT_EQ(shell->selectionAnchor, 0u);
}

TEST_F(CaretPlacement, AClickNeverLandsInsideAPair) {
    shell->fieldValues["field.email"] = L"\U0001F600\U0001F600";
    for (float x = 300; x < 400; x += 2) {
        const size_t caret = ClickAt("field.email", x);
        EXPECT_TRUE(caret == 0 || caret == 2 || caret == 4) << caret;
    }
}

}  // namespace
}  // namespace tarvo::ui::test
