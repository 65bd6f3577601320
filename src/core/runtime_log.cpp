#include "core/runtime_log.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <cstdio>
#include <fstream>
#include <system_error>

#include "common/environment.h"
#include "common/file_utils.h"

namespace tarvo::core {
namespace {

std::filesystem::path LocalAppDataProductFolder() {
    PWSTR text = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &text)) && text != nullptr) {
        result = std::filesystem::path(text) / L"TARVONIX VOLLEY";
    }
    if (text != nullptr) CoTaskMemFree(text);
    return result;
}

// The log's own root rule; it outlives a missing LocalAppData by falling back to the developer tree.
std::filesystem::path ResolveLogRoot() {
    if (auto root = distribution::EnvironmentOverride(L"TARVO_QA_DATA_ROOT")) return std::filesystem::path(*root);
    std::filesystem::path root = LocalAppDataProductFolder();
    if (!root.empty()) return root;
    const std::filesystem::path executable = distribution::ExecutableDirectory();
    root = FindDeveloperRoot(executable);
    return root.empty() ? executable : root;
}

}  // namespace

RuntimeLog& Log() {
    static RuntimeLog log;
    return log;
}

std::string EscapeLogText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // C1 controls (U+0080..U+009F, UTF-8 C2 80..C2 9F) include NEL, which some viewers take as a line end.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        } else if (c1) {
            const auto next = static_cast<unsigned char>(text[++i]);
            out += "\\xC2\\x";
            out.push_back(kHex[next >> 4]);
            out.push_back(kHex[next & 0x0F]);
        } else {
            out.push_back(static_cast<char>(byte));
        }
    }
    return out;
}

std::string FormatLogLine(const LogTime& time, std::string_view text) {
    char stamp[64] = {};
    const int length = std::snprintf(stamp, sizeof(stamp), "%04u-%02u-%02uT%02u:%02u:%02u.%03u | ", time.year,
                                     time.month, time.day, time.hour, time.minute, time.second, time.millisecond);
    std::string line(stamp, length > 0 ? static_cast<std::size_t>(length) : 0);
    line += EscapeLogText(text);
    return line;
}

std::filesystem::path FindDeveloperRoot(const std::filesystem::path& start) {
    std::filesystem::path folder = start;
    for (int examined = 0; examined < 8; ++examined) {
        if (folder.empty()) break;
        std::error_code ec;
        const bool hasProject = std::filesystem::exists(folder / L"CMakeLists.txt", ec);
        const bool hasApps = std::filesystem::exists(folder / L"apps", ec);
        if (hasProject && hasApps) return folder;
        std::filesystem::path parent = folder.parent_path();
        if (parent == folder) break;
        folder = std::move(parent);
    }
    return {};
}

void RuntimeLog::Initialize(std::wstring_view fileName) {
    std::filesystem::path resolved;
    try {
        const std::filesystem::path logs = ResolveLogRoot() / L"logs";
        std::error_code ignored;  // shows later as a file that cannot be opened
        std::filesystem::create_directories(logs, ignored);
        resolved = logs / fileName;
        // Creates the file when missing and keeps earlier runs' lines.
        std::ofstream touch(resolved, std::ios::out | std::ios::app);
    } catch (...) {
        resolved.clear();
    }
    std::lock_guard<std::mutex> lock(mutex);
    path = std::move(resolved);
}

void RuntimeLog::Write(std::string_view text) {
    try {
        std::lock_guard<std::mutex> lock(mutex);
        if (path.empty()) return;
        std::ofstream file(path, std::ios::out | std::ios::app);  // text mode: the line ends as CR LF
        if (!file.is_open()) return;
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const LogTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
        std::string line = FormatLogLine(time, text);
        line.push_back('\n');
        file.write(line.data(), static_cast<std::streamsize>(line.size()));
    } catch (...) {
        // A log failure never reaches the caller.
    }
}

}  // namespace tarvo::core
