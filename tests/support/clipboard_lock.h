#pragma once
// Every test process of a run shares one clipboard (one desktop, or one Wine
// session), and ctest runs tests in parallel. A test that writes, reads or holds
// the clipboard keeps this lock for its whole run, so no other test changes the
// clipboard under it.
#include <windows.h>

namespace tarvo::testing {

class ClipboardLock {
public:
    ClipboardLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\TarvoTestsClipboard")) {
        // An abandoned lock (a test that crashed) is ours all the same.
        if (mutex_) WaitForSingleObject(mutex_, 60000);
    }
    ~ClipboardLock() {
        if (mutex_) {
            ReleaseMutex(mutex_);
            CloseHandle(mutex_);
        }
    }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;

private:
    HANDLE mutex_;
};

}  // namespace tarvo::testing
