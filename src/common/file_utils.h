#pragma once
// Whole-file reads, crash-safe replacement and Windows error texts. Failures come back as values;
// an error argument is written only on failure.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo::distribution {

// Why a whole-file read gave no bytes.
enum class FileRead {
    Read,      // every byte, at most the limit
    Missing,   // neither the file nor its folder exists
    TooLarge,  // larger than the limit: refused before anything was allocated
    Failed,    // it exists but cannot be opened or read (sharing, access, a folder), or no memory
};

// Every byte of a file of at most maxBytes into `bytes` (emptied on any failure). A size
// taken from a damaged or hostile file never reaches an allocation unchecked. After Failed
// the thread's last error says why, when the system gave a reason.
FileRead ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);

// Every byte of a file of at most maxBytes; empty when it cannot be opened or read or is
// larger (indistinguishable from an empty file).
std::string ReadUtf8File(const std::filesystem::path& path, std::size_t maxBytes);

// Writes exactly `bytes` to "<target>.tmp", flushes it and moves it over target (creating missing folders).
// A failed move leaves the ".tmp" beside the untouched target. Content of 4 GiB or more is refused.
bool AtomicWriteUtf8(const std::filesystem::path& target, std::string_view bytes, std::wstring& error);

// One replacing, write-through move; on failure the source stays where it was.
bool MoveReplace(const std::filesystem::path& from, const std::filesystem::path& to, std::wstring& error);

// The system's text for a Windows error code without trailing line breaks, or "Windows error <code>".
std::wstring LastErrorMessage(unsigned long code);

// Folder of the running executable; the working directory when the module path is unavailable
// (throws only when that fails too).
std::filesystem::path ExecutableDirectory();

}  // namespace tarvo::distribution
