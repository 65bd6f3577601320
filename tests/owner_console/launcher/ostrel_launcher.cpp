// Test-only entry of the owner console. The shipped executable always starts the
// game client; tests start this one to run product kind 1 as its own process.
//   ostrel_launcher.exe              the owner console in its window; exit code of the run
//   ostrel_launcher.exe sign <url>   one signed "check" to <url>; prints "sent <status>" or
//                                    "refused <message>", exit code 0 when sent
#include <windows.h>

#include <cstdio>
#include <string>

#include "release_control/release_control_client.h"
#include "shell/native_shell.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"sign") {
        const auto result =
            tarvo::release_control::ReleaseControlClient::SignedCommand(argv[2], L"check", L"", L"", 0, L"");
        if (result.sent) {
            std::wprintf(L"sent %u\n", result.status);
            return 0;
        }
        std::wprintf(L"refused %ls\n", result.message.c_str());
        return 2;
    }
    return tarvo::ui::RunNativeProduct(GetModuleHandleW(nullptr), SW_SHOWNORMAL, tarvo::ui::ProductKind::OstrelNode);
}
