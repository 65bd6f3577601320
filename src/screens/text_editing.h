#pragma once
// Editing rules of the shell's input fields, on plain values so tests drive them
// without a window. The shell's InsertText / DeleteSelection / MoveCaret and its
// key handling are thin wrappers over these.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo::ui {

// Caret and the other end of the selection, in UTF-16 units of the value.
struct EditCursor {
    size_t caret = 0;
    size_t anchor = 0;
};

// Longest value a field accepts: 6 for "field.code", 160 for "field.message", else 64.
size_t FieldLengthLimit(std::string_view key);

// The fields drawn masked. Drawing, caret placement and copy/cut all use this one set.
bool IsPasswordField(std::string_view key);

// What of an inserted text may enter the field: control characters (U+0000-U+001F,
// U+007F) and unpaired surrogates are dropped; "field.code" keeps only '0'-'9'.
std::wstring FilterInsertedText(std::string_view key, std::wstring_view text);

// Keeps a position off the middle of a surrogate pair (moves it past the pair) and
// within the value.
size_t SnapToCaretStop(std::wstring_view value, size_t position);
size_t PreviousCaretStop(std::wstring_view value, size_t position);
size_t NextCaretStop(std::wstring_view value, size_t position);

// Clamps caret and anchor to the value and snaps them to caret stops.
void ClampCursor(std::wstring_view value, EditCursor& cursor);

// Removes [min, max) of caret and anchor; both end at its start. False when there
// was no selection.
bool DeleteSelectedRange(std::wstring& value, EditCursor& cursor);

// Replaces the selection with the filtered text within the field's limit. Returns
// true when the field's error text should be erased (the insert ran; the field was
// not already full). An empty text does nothing at all.
bool InsertIntoField(std::string_view key, std::wstring& value, EditCursor& cursor, std::wstring_view text);

// caret = position clamped to the value (and snapped to a caret stop); without
// extend the anchor follows.
void MoveCaretTo(std::wstring_view value, EditCursor& cursor, size_t position, bool extend);

// Text of the selection, clipped to the value.
std::wstring SelectedText(std::wstring_view value, const EditCursor& cursor);

// Key handling outside play with a focused field. Keys the field does not handle
// itself are reported back for the shell (clipboard, Escape).
enum class FieldKeyResult {
    Ignored,      // not an editing key (Enter included): no repaint
    Edited,       // handled here; the shell erases the field's error and repaints
    Copy,         // Ctrl+C
    Cut,          // Ctrl+X
    Paste,        // Ctrl+V
    Escape,       // goes to OnEscape
};

// Virtual-key codes as in WM_KEYDOWN. Ctrl combinations other than A/C/X/V act as
// the plain key.
FieldKeyResult ApplyFieldKey(std::wstring& value, EditCursor& cursor, unsigned virtualKey, bool ctrl, bool shift);

// Typed characters (WM_CHAR) arrive one UTF-16 unit at a time: a supplementary
// character comes as a high then a low surrogate. This joins them so a value never
// holds half a pair.
class CharacterComposer {
public:
    // Returns the text ready to insert (empty while waiting for the low half).
    std::wstring Feed(wchar_t unit);
    void Reset() { pendingHigh_ = 0; }

private:
    wchar_t pendingHigh_ = 0;
};

}  // namespace tarvo::ui
