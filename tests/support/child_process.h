#pragma once
// Runs a program of the build as its own process and collects what it prints.

#include <windows.h>

#include <filesystem>
#include <string>

namespace tarvo::testing {

struct ProgramRun {
    DWORD exitCode = 0xFFFFFFFF;  // stays so when the program could not be started
    std::string output;           // standard output and error together
};

// Starts `exe` with `arguments` in `workingFolder` (the program's own folder when empty),
// waits up to a minute for it to end and returns its exit code and output.
inline ProgramRun RunProgram(const std::filesystem::path& exe, const std::wstring& arguments,
                             const std::filesystem::path& workingFolder = {}) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
    const std::wstring folder = (workingFolder.empty() ? exe.parent_path() : workingFolder).wstring();
    const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, folder.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return run;
}

}  // namespace tarvo::testing
