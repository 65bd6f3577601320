#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "common/hashing.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using tarvo::distribution::Sha256File;
using tarvo::testing::TempFolder;
using tarvo::testing::WriteBytes;

namespace {

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) % 251);
    return bytes;
}

std::string HashOf(const TempFolder& temp, std::string_view bytes) {
    const fs::path file = temp.Path() / L"data.bin";
    WriteBytes(file, bytes);
    std::wstring error;
    std::string hash = Sha256File(file, error);
    EXPECT_TRUE(error.empty()) << error;
    return hash;
}

}  // namespace

TEST(Sha256File, MatchesPublishedVectors) {
    TempFolder temp;
    EXPECT_EQ(HashOf(temp, ""), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(HashOf(temp, "abc"), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    EXPECT_EQ(HashOf(temp, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");
    EXPECT_EQ(HashOf(temp, std::string(1000000, 'a')),
              "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0");
}

TEST(Sha256File, FilesAroundAndBeyondOneReadChunk) {
    // Reference digests of the same byte pattern from an independent implementation.
    TempFolder temp;
    EXPECT_EQ(HashOf(temp, Pattern(1048576)), "1AC437F476C488ACBA4000AF7AE89EF53F7FFBEEF2E937850985F5CEB8B5AE6F");
    EXPECT_EQ(HashOf(temp, Pattern(1048577)), "E42CDA7F3D5F4472E6A826C1AE97C1D3933BA23EF486E8DF5814889B7AF6F7C4");
    EXPECT_EQ(HashOf(temp, Pattern(3 * 1048576 + 17)),
              "B94A81035474D847A7B5F270ED72D10D51A5643254D6495DCE93E2022AA22AC7");
}

TEST(Sha256File, MissingFileGivesEmptyResultAndNamesThePath) {
    TempFolder temp;
    const fs::path missing = temp.Path() / L"відсутній.zip";
    std::wstring error;
    EXPECT_EQ(Sha256File(missing, error), "");
    EXPECT_EQ(error, L"Cannot open file for SHA-256: " + missing.wstring());
}

TEST(Sha256File, ReadErrorPartWayNeverGivesTheHashOfAPrefix) {
    // A pipe whose writer goes away after 1.5 MiB: the first chunk reads, then the read fails
    // (a broken pipe is an error, not an end of file).
    const std::wstring name = L"\\\\.\\pipe\\tarvo-sha-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536,
                                     0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::thread writer([server] {
        ConnectNamedPipe(server, nullptr);
        const std::string bytes = Pattern(1048576 + 524288);
        DWORD written = 0;
        WriteFile(server, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        FlushFileBuffers(server);
        CloseHandle(server);
    });
    std::wstring error;
    const std::string hash = Sha256File(name, error);
    // Should the open have failed, release the writer still waiting for a reader.
    HANDLE unblock = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (unblock != INVALID_HANDLE_VALUE) CloseHandle(unblock);
    writer.join();

    EXPECT_EQ(hash, "");
    EXPECT_EQ(error, L"Cannot read file for SHA-256: " + name);
}
