#pragma once
// Whole-file reads, crash-safe replacement and Windows error texts. Failures come back as values;
// an error argument is written only on failure.

#include <cstddef>
#include <cstdint>
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

// A file opened for reading, which other programs may keep open for reading or writing,
// and its size when it was opened. The one place files are opened and read; whole-file
// readers and readers that walk a file block by block both stand on it.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::filesystem::path& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Read when the file is open, else Missing or Failed (see FileRead).
    FileRead Opened() const { return opened_; }
    std::uint64_t Size() const { return size_; }
    // Up to count bytes from where the last read ended into destination; got is 0 at the
    // end of the file. False on a read error or when the file is not open.
    bool ReadSome(void* destination, std::size_t count, std::size_t& got);

private:
    void* handle_ = nullptr;
    std::uint64_t size_ = 0;
    FileRead opened_ = FileRead::Failed;
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
