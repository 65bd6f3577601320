#pragma once
// A shell built in a private data root, with the log pointed there, and helpers
// to run its loop, read the log and fake the keyboard state.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/runtime_log.h"
#include "shell/native_shell.h"
#include "support/temp_folder.h"

namespace tarvo::ui::test {

// Requests sent by a shell under test fail at once instead of reaching a real host.
inline constexpr wchar_t kUnreachableAccountService[] = L"http://127.0.0.1:9/api/v1";

class ShellFixture : public ::testing::Test {
protected:
    ShellFixture() { core::Log().Initialize(L"tarvonix-volley.log"); }

    std::unique_ptr<NativeShell> MakeShell(ProductKind kind = ProductKind::Game) {
        return std::make_unique<NativeShell>(GetModuleHandleW(nullptr), kind, kUnreachableAccountService);
    }

    // Event names of the log so far (the text after " | ").
    std::vector<std::string> LogEvents(const wchar_t* file = L"tarvonix-volley.log") const {
        std::vector<std::string> events;
        const std::string text = testing::ReadBytes(root_.Path() / "logs" / file);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t bar = line.find(" | ");
            if (bar != std::string::npos) events.push_back(line.substr(bar + 3));
            start = end + 1;
        }
        return events;
    }

    bool Logged(const std::string& event) const {
        for (const auto& e : LogEvents()) {
            if (e == event) return true;
        }
        return false;
    }

    const std::filesystem::path& Root() const { return root_.Path(); }

    // Gives `shell` (and its match client) the test's clock: real time while `heldTime`
    // is empty, that instant while it is set.
    void UseTestClock(NativeShell& shell) {
        shell.clock = [this] { return heldTime ? *heldTime : NativeShell::Clock::now(); };
    }
    std::optional<NativeShell::Clock::time_point> heldTime;

private:
    testing::TempDataRoot root_;
};

// Runs the shell's real loop, calling `step` every 20 ms from inside it until the run ends; a run
// that has not ended after `limitMs` is closed.
inline int RunStepping(NativeShell& shell, std::function<void(NativeShell&)> step, ULONGLONG limitMs) {
    static NativeShell* current = nullptr;
    static std::function<void(NativeShell&)>* action = nullptr;
    static ULONGLONG deadline = 0;
    current = &shell;
    action = &step;
    deadline = GetTickCount64() + limitMs;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!current || !current->window) return;
        if (GetTickCount64() > deadline) {
            PostMessageW(current->window, WM_CLOSE, 0, 0);
            return;
        }
        (*action)(*current);
    });
    const int result = shell.Run(SW_SHOWNOACTIVATE);
    KillTimer(nullptr, timer);
    current = nullptr;
    return result;
}

// True when the expected events stand in this order among the others.
inline bool InOrder(const std::vector<std::string>& events, const std::vector<std::string>& expected) {
    auto at = events.begin();
    for (const auto& e : expected) {
        at = std::find(at, events.end(), e);
        if (at == events.end()) return false;
        ++at;
    }
    return true;
}

// Holds modifier keys down in this thread's keyboard state for one scope.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        for (int key : keys) state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256] = {};
};

// An invisible message-only window: an owner for the clipboard and a repaint target.
class MessageWindow {
public:
    MessageWindow() {
        handle_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
    }
    ~MessageWindow() {
        if (handle_) DestroyWindow(handle_);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

}  // namespace tarvo::ui::test
