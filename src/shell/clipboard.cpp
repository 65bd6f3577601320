#include "shell/clipboard.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tarvo::ui {

bool PutTextOnClipboard(HWND owner, std::wstring_view text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return false;
    auto* units = static_cast<wchar_t*>(GlobalLock(block));
    if (!units) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(units, text.data(), text.size() * sizeof(wchar_t));
    units[text.size()] = L'\0';
    GlobalUnlock(block);

    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!set) GlobalFree(block);  // the clipboard owns the block only once it was set
    CloseClipboard();
    return set;
}

std::wstring ReadClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return {};
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Another program decides the size; a field takes a few hundred units at most.
            constexpr size_t kMaxPasteUnits = 64 * 1024;
            const size_t available = std::min<size_t>(GlobalSize(data) / sizeof(wchar_t), kMaxPasteUnits);
            text.assign(units, wcsnlen(units, available));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace tarvo::ui
