#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace tarvo::ui {

// Puts the text on the clipboard as CF_UNICODETEXT. The data is prepared before the
// clipboard is opened and emptied, so a failure leaves the previous contents in
// place. True only when the clipboard holds the text afterwards.
bool PutTextOnClipboard(HWND owner, std::wstring_view text);

// The clipboard's CF_UNICODETEXT up to its terminating NUL, at most 65536 units; empty
// when it cannot be opened or holds no text.
std::wstring ReadClipboardText(HWND owner);

}  // namespace tarvo::ui
