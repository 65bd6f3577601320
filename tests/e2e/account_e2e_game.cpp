// The game client for end-to-end runs against a local fake account service: the
// shipped start, with the account client's address taken from TARVO_E2E_ACCOUNT_URL
// (this test build only).
#include <windows.h>

#include <string>

#include "shell/native_shell.h"

#ifndef TARVO_E2E_DEFAULT_ACCOUNT_URL
#define TARVO_E2E_DEFAULT_ACCOUNT_URL L"http://127.0.0.1:47610/api/v1"
#endif

namespace {

std::wstring AccountUrl() {
    wchar_t buffer[2048];
    const DWORD length = GetEnvironmentVariableW(L"TARVO_E2E_ACCOUNT_URL", buffer, 2048);
    if (length > 0 && length < 2048) return std::wstring(buffer, length);
    return TARVO_E2E_DEFAULT_ACCOUNT_URL;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return tarvo::ui::RunNativeProduct(instance, showCommand, tarvo::ui::ProductKind::Game, AccountUrl());
}
