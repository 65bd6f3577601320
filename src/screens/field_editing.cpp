// The focused field's editing operations, over the rules of text_editing.h.
#include "shell/clipboard.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::InsertText(std::wstring text) {
    if (focusedField.empty() || text.empty()) return;
    std::wstring& value = fieldValues[focusedField];
    EditCursor cursor{caret, selectionAnchor};
    const bool inserted = InsertIntoField(focusedField, value, cursor, text);
    caret = cursor.caret;
    selectionAnchor = cursor.anchor;
    if (inserted) fieldErrors.erase(focusedField);
}

void NativeShell::DeleteSelection() {
    if (focusedField.empty()) return;
    std::wstring& value = fieldValues[focusedField];
    EditCursor cursor{caret, selectionAnchor};
    ClampCursor(value, cursor);
    DeleteSelectedRange(value, cursor);
    caret = cursor.caret;
    selectionAnchor = cursor.anchor;
}

void NativeShell::MoveCaret(size_t position, bool extend) {
    if (focusedField.empty()) return;
    EditCursor cursor{caret, selectionAnchor};
    MoveCaretTo(fieldValues[focusedField], cursor, position, extend);
    caret = cursor.caret;
    selectionAnchor = cursor.anchor;
}

void NativeShell::CopySelectionToClipboard(bool cut) {
    if (focusedField.empty()) return;
    if (IsPasswordField(focusedField)) {
        const auto revealed = revealedFields.find(focusedField);
        if (revealed == revealedFields.end() || !revealed->second) return;  // masked text never leaves the field
    }
    EditCursor cursor{caret, selectionAnchor};
    ClampCursor(fieldValues[focusedField], cursor);
    const std::wstring text = SelectedText(fieldValues[focusedField], cursor);
    if (text.empty()) return;
    // A cut removes the text only once the clipboard really holds it.
    if (PutTextOnClipboard(window, text) && cut) {
        DeleteSelection();
        fieldErrors.erase(focusedField);
    }
}

}  // namespace tarvo::ui
