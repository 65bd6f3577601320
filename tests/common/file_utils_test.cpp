#include <gtest/gtest.h>

#include <windows.h>

#include "common/file_utils.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using tarvo::distribution::AtomicWriteUtf8;
using tarvo::distribution::ExecutableDirectory;
using tarvo::distribution::LastErrorMessage;
using tarvo::distribution::MoveReplace;
using tarvo::distribution::FileRead;
using tarvo::distribution::ReadUtf8File;
using tarvo::distribution::ReadWholeFile;
using tarvo::testing::ReadBytes;
using tarvo::testing::TempFolder;
using tarvo::testing::WriteBytes;

namespace {

fs::path TempOf(const fs::path& target) {
    fs::path temporary = target;
    temporary += L".tmp";
    return temporary;
}

}  // namespace

TEST(ReadUtf8File, ReturnsEveryByteUnchangedUpToTheLimit) {
    TempFolder temp;
    const std::string bytes("\xEF\xBB\xBFline\r\nnext\0end\xFF", 18);
    WriteBytes(temp.Path() / L"raw.bin", bytes);
    EXPECT_EQ(ReadUtf8File(temp.Path() / L"raw.bin", 18), bytes);
    EXPECT_EQ(ReadUtf8File(temp.Path() / L"raw.bin", 17), "");

    std::string large(200000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31 + 7);
    WriteBytes(temp.Path() / L"large.bin", large);
    EXPECT_EQ(ReadUtf8File(temp.Path() / L"large.bin", 200000), large);
}

TEST(ReadWholeFile, TellsMissingFromTooLargeFromUnreadable) {
    TempFolder temp;
    std::string bytes = "stale";
    EXPECT_EQ(ReadWholeFile(temp.Path() / L"missing.json", 100, bytes), FileRead::Missing);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadWholeFile(temp.Path() / L"no-folder" / L"x.json", 100, bytes), FileRead::Missing);
    EXPECT_EQ(ReadWholeFile(temp.Path(), 100, bytes), FileRead::Failed);  // a folder is there, not missing

    // A 1 TiB file of holes is refused by its size: nothing is reserved or read.
    ASSERT_TRUE(tarvo::testing::WriteSparseFile(temp.Path() / L"huge.session", 1ull << 40));
    EXPECT_EQ(ReadWholeFile(temp.Path() / L"huge.session", 64u << 20, bytes), FileRead::TooLarge);
    EXPECT_EQ(ReadUtf8File(temp.Path() / L"huge.session", 64u << 20), "");

    // Held open by another program without read sharing: there, but unreadable.
    const fs::path held = temp.Path() / L"held.key";
    WriteBytes(held, "key");
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWholeFile(held, 100, bytes), FileRead::Failed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(holder);
    EXPECT_EQ(ReadWholeFile(held, 100, bytes), FileRead::Read);
    EXPECT_EQ(bytes, "key");
}

TEST(AtomicWriteUtf8, CreatesFolderChainAndLeavesNoTemporary) {
    TempFolder temp;
    const fs::path target = temp.Path() / L"a" / L"Налаштування" / L"c" / L"game.json";
    const std::string bytes("{\n  \"x\": 1\r\n}\n\0\xD0\x93", 18);
    std::wstring error = L"untouched";
    ASSERT_TRUE(AtomicWriteUtf8(target, bytes, error));
    EXPECT_EQ(error, L"untouched");
    EXPECT_EQ(ReadBytes(target), bytes);  // no BOM, no newline translation
    EXPECT_FALSE(fs::exists(TempOf(target)));
}

TEST(AtomicWriteUtf8, ZeroBytesMakeAnEmptyFileAndReplaceOldContent) {
    TempFolder temp;
    const fs::path target = temp.Path() / L"state.json";
    std::wstring error;
    ASSERT_TRUE(AtomicWriteUtf8(target, "old content that is longer", error));
    ASSERT_TRUE(AtomicWriteUtf8(target, "new", error));
    EXPECT_EQ(ReadBytes(target), "new");
    ASSERT_TRUE(AtomicWriteUtf8(target, "", error));
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST(AtomicWriteUtf8, LockedTargetKeepsOldContentAndLeavesTemporaryBeside) {
    TempFolder temp;
    const fs::path target = temp.Path() / L"game.json";
    std::wstring error;
    ASSERT_TRUE(AtomicWriteUtf8(target, "old", error));

    // Another program holds the file open without delete sharing: the replacing move must fail.
    HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const bool written = AtomicWriteUtf8(target, "new content", error);
    CloseHandle(holder);

    EXPECT_FALSE(written);
    EXPECT_EQ(error.rfind(L"Atomic rename failed: ", 0), 0u) << error;
    EXPECT_GT(error.size(), std::wstring(L"Atomic rename failed: ").size());
    EXPECT_NE(error.back(), L'\n');
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ReadBytes(TempOf(target)), "new content");

    // The next successful write reuses and consumes the leftover.
    ASSERT_TRUE(AtomicWriteUtf8(target, "final", error));
    EXPECT_EQ(ReadBytes(target), "final");
    EXPECT_FALSE(fs::exists(TempOf(target)));
}

TEST(AtomicWriteUtf8, AFailedTemporaryReportsChangesNothingAndLeavesNoTemporary) {
    TempFolder temp;
    const fs::path target = temp.Path() / L"game.json";
    WriteBytes(target, "old");
    fs::create_directories(TempOf(target));  // a folder where the temporary file should go
    std::wstring error;
    EXPECT_FALSE(AtomicWriteUtf8(target, "new", error));
    EXPECT_EQ(error.rfind(L"Cannot create atomic temporary file: ", 0), 0u) << error;
    EXPECT_EQ(ReadBytes(target), "old");

    // The temporary is made, but its write fails (the bytes cannot be read): it goes again.
    fs::remove(TempOf(target));
    void* unreadable = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(unreadable, nullptr);
    EXPECT_FALSE(AtomicWriteUtf8(target, std::string_view(static_cast<const char*>(unreadable), 4096), error));
    VirtualFree(unreadable, 0, MEM_RELEASE);
    EXPECT_EQ(error, L"Cannot flush atomic temporary file.");
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_FALSE(fs::exists(TempOf(target)));
}

TEST(AtomicWriteUtf8, RefusesContentOfFourGibibytesOrMore) {
    TempFolder temp;
    const fs::path target = temp.Path() / L"huge.bin";
    const char byte = 'x';
    // Only the length is looked at before refusing; the bytes are never read.
    const std::string_view huge(&byte, std::size_t{0x100000000ull});
    std::wstring error;
    EXPECT_FALSE(AtomicWriteUtf8(target, huge, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(TempOf(target)));
}

TEST(MoveReplace, ReplacesTargetOrReportsAndKeepsSource) {
    TempFolder temp;
    const fs::path from = temp.Path() / L"from.bin";
    const fs::path to = temp.Path() / L"to.bin";
    WriteBytes(from, "payload");
    WriteBytes(to, "previous");
    std::wstring error;
    ASSERT_TRUE(MoveReplace(from, to, error));
    EXPECT_EQ(ReadBytes(to), "payload");
    EXPECT_FALSE(fs::exists(from));

    EXPECT_FALSE(MoveReplace(temp.Path() / L"missing.bin", to, error));
    EXPECT_EQ(error.rfind(L"Atomic rename failed: ", 0), 0u) << error;
    EXPECT_EQ(ReadBytes(to), "payload");
}

TEST(LastErrorMessage, SystemTextWithoutLineEndOrDecimalFallback) {
    const std::wstring known = LastErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(known.empty());
    EXPECT_NE(known.back(), L'\n');
    EXPECT_NE(known.back(), L'\r');
    EXPECT_EQ(known.rfind(L"Windows error ", 0), std::wstring::npos);

    EXPECT_EQ(LastErrorMessage(0x2ABCDEF1ul), L"Windows error 717020913");
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgram) {
    wchar_t buffer[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    const fs::path directory = ExecutableDirectory();
    EXPECT_EQ(directory, fs::path(buffer).parent_path());
    EXPECT_TRUE(fs::exists(directory / fs::path(buffer).filename()));
}
