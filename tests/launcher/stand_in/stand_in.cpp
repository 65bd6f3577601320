// Stands in for the launcher family's programs in the launcher tests. It writes
// "<own path>.args" (UTF-8, one line each: the working folder, then every argument
// as the standard parser reads the command line), then sleeps for the milliseconds
// in "<own path>.sleep" when present, writes "<own path>.done" and exits with the
// code in "<own path>.exitcode" (0 when absent).
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

long NumberIn(const std::wstring& file, long fallback) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    if (!in) return fallback;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return std::strtol(text.c_str(), nullptr, 10);
}

void WriteWhole(const std::wstring& file, const std::string& bytes) {
    const std::wstring temporary = file + L".tmp";
    {
        std::ofstream out(std::filesystem::path(temporary), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);  // readers never see half a file
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[32768] = {};
    GetModuleFileNameW(nullptr, self, 32768);
    const std::wstring own(self);

    wchar_t folder[32768] = {};
    GetCurrentDirectoryW(32768, folder);
    std::string record = Utf8(folder) + "\n";
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; argv && i < count; ++i) record += Utf8(argv[i]) + "\n";
    if (argv) LocalFree(argv);
    WriteWhole(own + L".args", record);

    const long sleepMs = NumberIn(own + L".sleep", 0);
    if (sleepMs > 0) Sleep(static_cast<DWORD>(sleepMs));
    const int code = static_cast<int>(NumberIn(own + L".exitcode", 0));
    WriteWhole(own + L".done", "done\n");
    return code;
}
