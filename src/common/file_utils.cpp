#include "common/file_utils.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <system_error>
#include <vector>

namespace tarvo::distribution {

ReadOnlyFile::ReadOnlyFile(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        // Only a file that is not there is missing; one that cannot be opened is not.
        opened_ = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? FileRead::Missing : FileRead::Failed;
        return;
    }
    handle_ = file;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return;
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    opened_ = FileRead::Read;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ == nullptr) return;
    const DWORD code = GetLastError();  // callers may still ask why a read failed
    CloseHandle(static_cast<HANDLE>(handle_));
    SetLastError(code);
}

bool ReadOnlyFile::ReadSome(void* destination, std::size_t count, std::size_t& got) {
    got = 0;
    if (opened_ != FileRead::Read) return false;
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));  // one call takes 32 bits
    if (!ReadFile(static_cast<HANDLE>(handle_), destination, chunk, &read, nullptr)) return false;
    got = read;
    return true;
}

FileRead ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    ReadOnlyFile file(path);
    if (file.Opened() != FileRead::Read) return file.Opened();
    if (file.Size() > maxBytes) return FileRead::TooLarge;
    try {
        bytes.reserve(static_cast<std::size_t>(file.Size()));
        // Read to the end rather than trusting the size: the file may grow or shrink meanwhile,
        // but never past the limit.
        std::vector<char> chunk(64 * 1024);
        for (;;) {
            std::size_t got = 0;
            if (!file.ReadSome(chunk.data(), chunk.size(), got)) {
                bytes.clear();
                return FileRead::Failed;
            }
            if (got == 0) break;
            if (got > maxBytes - bytes.size()) {
                bytes.clear();
                return FileRead::TooLarge;
            }
            bytes.append(chunk.data(), got);
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FileRead::Failed;
    }
    return FileRead::Read;
}

std::string ReadUtf8File(const std::filesystem::path& path, std::size_t maxBytes) {
    std::string bytes;
    ReadWholeFile(path, maxBytes, bytes);
    return bytes;
}

std::wstring LastErrorMessage(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message;
    if (length > 0 && text != nullptr) {
        message.assign(text, length);
    } else {
        message = L"Windows error " + std::to_wstring(code);
    }
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n')) message.pop_back();
    return message;
}

bool MoveReplace(const std::filesystem::path& from, const std::filesystem::path& to, std::wstring& error) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD code = GetLastError();
    error = L"Atomic rename failed: " + LastErrorMessage(code);
    return false;
}

bool AtomicWriteUtf8(const std::filesystem::path& target, std::string_view bytes, std::wstring& error) {
    // One WriteFile takes a 32-bit length; a larger content would be silently cut.
    if (bytes.size() > static_cast<std::size_t>(MAXDWORD)) {
        error = L"Cannot write 4 GiB or more atomically.";
        return false;
    }
    std::error_code ignored;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);

    std::filesystem::path temporary = target;
    temporary += L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        error = L"Cannot create atomic temporary file: " + LastErrorMessage(code);
        return false;
    }
    const DWORD length = static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), length, &written, nullptr) && written == length;
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) {
        DeleteFileW(temporary.c_str());
        error = L"Cannot flush atomic temporary file.";
        return false;
    }
    return MoveReplace(temporary, target, error);
}

std::filesystem::path ExecutableDirectory() {
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::filesystem::current_path();
    return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
}

}  // namespace tarvo::distribution
