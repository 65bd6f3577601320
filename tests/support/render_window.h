#pragma once
// Shared by the backend tests: a plain window to render into and a reader for the
// QA frame captures (32-bit top-down BMP).

#include <windows.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace tarvo::test {

// A popup window, or a child of parent (on Windows the game's render view is a child window).
class TestWindow {
public:
    TestWindow(int width, int height, HWND parent = nullptr) {
        static const wchar_t* kClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TarvoRendererTestWindow";
            RegisterClassW(&wc);
            return L"TarvoRendererTestWindow";
        }();
        const DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS : WS_POPUP;
        hwnd_ = CreateWindowExW(0, kClass, L"renderer test", style, 0, 0, width, height, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        // Shown without taking the foreground: other test programs share the desktop, and
        // their windows would lose activation to it (a match in play pauses then).
        if (!parent) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        Pump();
    }
    ~TestWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    void Resize(int width, int height) {
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

private:
    HWND hwnd_ = nullptr;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;

    static Bitmap Read(const std::filesystem::path& file) {
        Bitmap b;
        std::ifstream in(file, std::ios::binary);
        b.bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (b.bytes.size() < 54) return b;
        b.width = *reinterpret_cast<const int32_t*>(&b.bytes[18]);
        b.height = -*reinterpret_cast<const int32_t*>(&b.bytes[22]);
        return b;
    }
    // Red, green and blue of pixel (x, y), top row first.
    std::array<int, 3> At(int x, int y) const {
        const size_t at = 54 + (size_t(y) * width + x) * 4;
        return {bytes[at + 2], bytes[at + 1], bytes[at]};
    }
};

// Bright text pixels inside a rectangle of the frame.
inline int BrightPixels(const Bitmap& bmp, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const auto c = bmp.At(x, y);
            count += c[0] > 150 && c[1] > 150 && c[2] > 150;
        }
    }
    return count;
}

}  // namespace tarvo::test
