#include "screens/text_editing.h"

#include <algorithm>

namespace tarvo::ui {
namespace {

constexpr unsigned kKeyBack = 0x08;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeyEnd = 0x23;
constexpr unsigned kKeyHome = 0x24;
constexpr unsigned kKeyLeft = 0x25;
constexpr unsigned kKeyRight = 0x27;
constexpr unsigned kKeyDelete = 0x2E;

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when position sits between the two halves of a pair.
bool InsidePair(std::wstring_view value, size_t position) {
    return position > 0 && position < value.size() && IsHigh(value[position - 1]) && IsLow(value[position]);
}

}  // namespace

size_t FieldLengthLimit(std::string_view key) {
    if (key == "field.code") return 6;
    if (key == "field.message") return 160;
    return 64;
}

bool IsPasswordField(std::string_view key) {
    return key == "field.password" || key == "field.repeat" || key == "field.new_password" ||
           key == "field.local_password" || key == "field.backend.dbpassword" ||
           key == "field.backend.smtppassword";
}

std::wstring FilterInsertedText(std::string_view key, std::wstring_view text) {
    const bool digitsOnly = key == "field.code";
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (digitsOnly) {
            if (c >= L'0' && c <= L'9') out.push_back(c);
            continue;
        }
        if (c < 0x20 || c == 0x7F) continue;
        if (IsHigh(c)) {
            if (i + 1 < text.size() && IsLow(text[i + 1])) {
                out.push_back(c);
                out.push_back(text[i + 1]);
                ++i;
            }
            continue;
        }
        if (IsLow(c)) continue;
        out.push_back(c);
    }
    return out;
}

size_t SnapToCaretStop(std::wstring_view value, size_t position) {
    position = std::min(position, value.size());
    if (InsidePair(value, position)) ++position;
    return position;
}

size_t PreviousCaretStop(std::wstring_view value, size_t position) {
    position = std::min(position, value.size());
    if (position == 0) return 0;
    --position;
    if (InsidePair(value, position)) --position;
    return position;
}

size_t NextCaretStop(std::wstring_view value, size_t position) {
    position = std::min(position, value.size());
    if (position >= value.size()) return value.size();
    ++position;
    if (InsidePair(value, position)) ++position;
    return position;
}

void ClampCursor(std::wstring_view value, EditCursor& cursor) {
    cursor.caret = SnapToCaretStop(value, cursor.caret);
    cursor.anchor = SnapToCaretStop(value, cursor.anchor);
}

bool DeleteSelectedRange(std::wstring& value, EditCursor& cursor) {
    const size_t s = std::min(cursor.caret, cursor.anchor);
    const size_t e = std::min(std::max(cursor.caret, cursor.anchor), value.size());
    if (e <= s) return false;
    value.erase(s, e - s);
    cursor.caret = cursor.anchor = s;
    return true;
}

bool InsertIntoField(std::string_view key, std::wstring& value, EditCursor& cursor, std::wstring_view text) {
    if (text.empty()) return false;
    std::wstring insert = FilterInsertedText(key, text);
    ClampCursor(value, cursor);
    DeleteSelectedRange(value, cursor);
    const size_t limit = FieldLengthLimit(key);
    if (value.size() >= limit) return false;
    size_t take = std::min(limit - value.size(), insert.size());
    // Never split a pair at the cut.
    if (take > 0 && take < insert.size() && IsHigh(insert[take - 1])) --take;
    insert.resize(take);
    value.insert(cursor.caret, insert);
    cursor.caret += insert.size();
    cursor.anchor = cursor.caret;
    return true;
}

void MoveCaretTo(std::wstring_view value, EditCursor& cursor, size_t position, bool extend) {
    cursor.caret = SnapToCaretStop(value, position);
    if (!extend) cursor.anchor = cursor.caret;
}

std::wstring SelectedText(std::wstring_view value, const EditCursor& cursor) {
    const size_t s = std::min(std::min(cursor.caret, cursor.anchor), value.size());
    const size_t e = std::min(std::max(cursor.caret, cursor.anchor), value.size());
    return std::wstring(value.substr(s, e - s));
}

FieldKeyResult ApplyFieldKey(std::wstring& value, EditCursor& cursor, unsigned virtualKey, bool ctrl, bool shift) {
    ClampCursor(value, cursor);
    if (ctrl) {
        switch (virtualKey) {
            case 'A':
                cursor.caret = value.size();
                cursor.anchor = 0;
                return FieldKeyResult::Edited;
            case 'C': return FieldKeyResult::Copy;
            case 'X': return FieldKeyResult::Cut;
            case 'V': return FieldKeyResult::Paste;
            default: break;  // acts as the plain key
        }
    }
    switch (virtualKey) {
        case kKeyBack:
            if (cursor.caret != cursor.anchor) {
                DeleteSelectedRange(value, cursor);
            } else if (cursor.caret > 0) {
                const size_t start = PreviousCaretStop(value, cursor.caret);
                value.erase(start, cursor.caret - start);
                cursor.caret = cursor.anchor = start;
            }
            return FieldKeyResult::Edited;
        case kKeyDelete:
            if (cursor.caret != cursor.anchor) {
                DeleteSelectedRange(value, cursor);
            } else if (cursor.caret < value.size()) {
                const size_t end = NextCaretStop(value, cursor.caret);
                value.erase(cursor.caret, end - cursor.caret);
            }
            return FieldKeyResult::Edited;
        case kKeyLeft:
            MoveCaretTo(value, cursor, PreviousCaretStop(value, cursor.caret), shift);
            return FieldKeyResult::Edited;
        case kKeyRight:
            MoveCaretTo(value, cursor, NextCaretStop(value, cursor.caret), shift);
            return FieldKeyResult::Edited;
        case kKeyHome:
            MoveCaretTo(value, cursor, 0, shift);
            return FieldKeyResult::Edited;
        case kKeyEnd:
            MoveCaretTo(value, cursor, value.size(), shift);
            return FieldKeyResult::Edited;
        case kKeyEscape:
            return FieldKeyResult::Escape;
        default:
            return FieldKeyResult::Ignored;
    }
}

std::wstring CharacterComposer::Feed(wchar_t unit) {
    if (IsHigh(unit)) {
        pendingHigh_ = unit;
        return {};
    }
    if (IsLow(unit)) {
        if (pendingHigh_ == 0) return {};
        std::wstring pair{pendingHigh_, unit};
        pendingHigh_ = 0;
        return pair;
    }
    pendingHigh_ = 0;
    return std::wstring(1, unit);
}

}  // namespace tarvo::ui
