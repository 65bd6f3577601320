// Test-only DLL planted under the Vulkan loader's name: when any process loads it, it
// leaves the file "planted-dll-ran" beside itself, so a test sees that it was run.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[32768] = {};
    const DWORD length = GetModuleFileNameW(instance, path, 32768);
    std::wstring marker(path, length);
    marker.erase(marker.find_last_of(L"\\/") + 1);
    marker += L"planted-dll-ran";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
