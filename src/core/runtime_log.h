#pragma once
// The process-wide append-only event log: one "YYYY-MM-DDTHH:MM:SS.mmm | Event[=value]" line per event.
// It never reports a failure; a log that cannot be written is silent.

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace tarvo::core {

class RuntimeLog {
public:
    // Resolves the data root, creates its "logs" folder and the file (keeping earlier runs' lines).
    // Called once by the composition root before any other service exists.
    void Initialize(std::wstring_view fileName);

    // Appends one line stamped with the local time. Safe from any thread; never throws.
    // Control characters in `text` are written as \r, \n, \t or \xNN so a value cannot forge a line.
    void Write(std::string_view text);

    // The resolved file, empty while the log is off.
    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path path;
    std::mutex mutex;  // serialises appends (and the path hand-over of Initialize)
};

// The one log of the process, built on first use.
RuntimeLog& Log();

// Pieces of the log exposed so they can be checked without a clock or a file.
struct LogTime {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
std::string EscapeLogText(std::string_view text);
std::string FormatLogLine(const LogTime& time, std::string_view text);  // without the line end

// Nearest of `start` and its 7 ancestors holding both "CMakeLists.txt" and "apps"; empty when none does.
std::filesystem::path FindDeveloperRoot(const std::filesystem::path& start);

}  // namespace tarvo::core
