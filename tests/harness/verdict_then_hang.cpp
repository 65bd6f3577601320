// Prints GoogleTest's closing lines for the outcome its argument names ("pass" or
// "fail") and then never exits, as a test process stuck at exit would.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const bool passed = argc > 1 && std::wcscmp(argv[1], L"pass") == 0;
    std::printf("[==========] 1 test from 1 test suite ran. (3 ms total)\n");
    if (passed) {
        std::printf("[  PASSED  ] 1 test.\n");
    } else {
        std::printf("[  PASSED  ] 0 tests.\n[  FAILED  ] 1 test, listed below:\n[  FAILED  ] Stuck.Case\n");
    }
    std::fflush(stdout);
    for (;;) Sleep(INFINITE);
}
