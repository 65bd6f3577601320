#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "core/runtime_log.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using tarvo::core::EscapeLogText;
using tarvo::core::FindDeveloperRoot;
using tarvo::core::FormatLogLine;
using tarvo::core::LogTime;
using tarvo::core::RuntimeLog;
using tarvo::testing::ReadBytes;
using tarvo::testing::ScopedEnvironment;
using tarvo::testing::TempFolder;
using tarvo::testing::WriteBytes;

namespace {

// The file's lines; each must end in CR LF.
std::vector<std::string> Lines(const fs::path& file) {
    const std::string bytes = ReadBytes(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "unterminated line: " << bytes.substr(start);
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

const std::regex kStamp(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3} \| .*)");

}  // namespace

TEST(LogLine, FormatAndEscaping) {
    const LogTime time{2026, 3, 7, 9, 4, 5, 42};
    EXPECT_EQ(FormatLogLine(time, "ApplicationStarted"), "2026-03-07T09:04:05.042 | ApplicationStarted");
    EXPECT_EQ(FormatLogLine(time, ""), "2026-03-07T09:04:05.042 | ");
    EXPECT_EQ(FormatLogLine(LogTime{999, 12, 31, 23, 59, 59, 999}, "X=1"), "0999-12-31T23:59:59.999 | X=1");

    // Outside text must not be able to start a line of its own.
    EXPECT_EQ(EscapeLogText("Code=a\r\n2026-01-01T00:00:00.000 | Forged"),
              "Code=a\\r\\n2026-01-01T00:00:00.000 | Forged");
    EXPECT_EQ(EscapeLogText(std::string_view("\t\x01\x1B\x7F\0", 5)), "\\t\\x01\\x1B\\x7F\\x00");
    EXPECT_EQ(EscapeLogText("x\xC2\x85y"), "x\\xC2\\x85y");                   // NEL
    EXPECT_EQ(EscapeLogText("C:\\Users\\Гравець \xC2\xA0ok"), "C:\\Users\\Гравець \xC2\xA0ok");  // kept
    EXPECT_EQ(EscapeLogText("AccountRequestCompleted=login Http=200 Code=ok"),
              "AccountRequestCompleted=login Http=200 Code=ok");
}

TEST(RuntimeLog, WriteBeforeInitializeIsSilent) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    RuntimeLog log;
    log.Write("Lost");
    EXPECT_TRUE(log.Path().empty());
    EXPECT_FALSE(fs::exists(temp.Path() / L"logs"));
}

TEST(RuntimeLog, QaRootGetsLogsFolderAndLinesInFormat) {
    TempFolder temp;
    const fs::path root = temp.Path() / L"Дані" / L"new root";
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", root.c_str());
    RuntimeLog log;
    log.Initialize(L"tarvonix-volley.log");
    const fs::path file = root / L"logs" / L"tarvonix-volley.log";
    EXPECT_EQ(log.Path(), file);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);

    log.Write("ApplicationStarted");
    log.Write("");
    log.Write("AccountRequestCompleted=login Code=bad\nForged");
    const std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, kStamp)) << line;
    EXPECT_EQ(lines[0].substr(23), " | ApplicationStarted");
    EXPECT_EQ(lines[1].substr(23), " | ");
    EXPECT_EQ(lines[2].substr(23), " | AccountRequestCompleted=login Code=bad\\nForged");

    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(std::stoi(lines[0].substr(0, 4)), now.wYear);  // local time, not UTC: only the year is stable
}

TEST(RuntimeLog, LaterRunsAppendAndDeletedFileComesBack) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    const fs::path file = temp.Path() / L"logs" / L"tarvonix-ostrel-node.log";
    {
        RuntimeLog first;
        first.Initialize(L"tarvonix-ostrel-node.log");
        first.Write("FirstRun");
    }
    RuntimeLog second;
    second.Initialize(L"tarvonix-ostrel-node.log");
    second.Write("SecondRun");
    std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(23), " | FirstRun");
    EXPECT_EQ(lines[1].substr(23), " | SecondRun");

    fs::remove(file);
    second.Write("AfterDelete");
    lines = Lines(file);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(23), " | AfterDelete");
}

TEST(RuntimeLog, EmptyQaRootCountsAsUnset) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", L"");
    const std::wstring name = L"tarvo-test-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    RuntimeLog log;
    log.Initialize(name);
    ASSERT_FALSE(log.Path().empty());
    EXPECT_EQ(log.Path().filename(), name);
    EXPECT_EQ(log.Path().parent_path().filename(), L"logs");
    EXPECT_EQ(log.Path().parent_path().parent_path().filename(), L"TARVONIX VOLLEY");
    EXPECT_TRUE(fs::exists(log.Path()));
    std::error_code ignored;
    fs::remove(log.Path(), ignored);
}

TEST(RuntimeLog, UnwritableFileLosesLinesSilently) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    RuntimeLog log;
    log.Initialize(L"tarvonix-volley.log");
    log.Write("Kept");
    const std::string kept = ReadBytes(log.Path());

    // A folder in the file's place cannot be opened for appending (a read-only file is not enough when the
    // tests run with administrator rights).
    const fs::path file = log.Path();
    fs::remove(file);
    fs::create_directory(file);
    log.Write("Lost");
    EXPECT_TRUE(fs::is_directory(file));
    fs::remove(file);

    log.Write("Again");
    const std::vector<std::string> lines = Lines(file);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(23), " | Again");
    EXPECT_EQ(kept.substr(23), " | Kept\r\n");
}

TEST(RuntimeLog, ConcurrentWritersNeverInterleaveLines) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    constexpr int kThreads = 8;
    constexpr int kLines = 60;

    // Every thread reaches the one process log at the same time; they must all get the same instance.
    std::vector<RuntimeLog*> seen(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back([&seen, t] { seen[t] = &tarvo::core::Log(); });
    for (auto& thread : threads) thread.join();
    for (RuntimeLog* log : seen) EXPECT_EQ(log, seen[0]);

    RuntimeLog log;
    log.Initialize(L"threads.log");
    threads.clear();
    const std::string padding(200, 'p');
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, &padding, t] {
            for (int i = 0; i < kLines; ++i) {
                log.Write("Worker=" + std::to_string(t) + " Line=" + std::to_string(i) + " " + padding);
            }
        });
    }
    for (auto& thread : threads) thread.join();

    const std::vector<std::string> lines = Lines(log.Path());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> next(kThreads, 0);
    const std::regex shape(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3} \| Worker=(\d) Line=(\d+) p{200})");
    for (const std::string& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, shape)) << line;
        const int worker = std::stoi(match[1].str());
        EXPECT_EQ(std::stoi(match[2].str()), next[worker]++);  // each thread's lines keep their order
    }
}

TEST(RuntimeLog, ProcessLogWritesThroughLog) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    tarvo::core::Log().Initialize(L"tarvonix-volley.log");
    tarvo::core::Log().Write("UIInitialized");
    const std::vector<std::string> lines = Lines(temp.Path() / L"logs" / L"tarvonix-volley.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(23), " | UIInitialized");
}

TEST(FindDeveloperRoot, SearchesTheExecutableFolderAndSevenAncestors) {
    TempFolder temp;
    const fs::path tree = temp.Path() / L"tree";
    WriteBytes(tree / L"CMakeLists.txt", "project()");
    fs::create_directories(tree / L"apps");
    fs::path seven = tree;
    for (int i = 0; i < 7; ++i) seven /= L"d" + std::to_wstring(i);
    fs::create_directories(seven / L"d7");

    EXPECT_EQ(FindDeveloperRoot(tree), tree);
    EXPECT_EQ(FindDeveloperRoot(seven), tree);         // 7 levels below
    EXPECT_EQ(FindDeveloperRoot(seven / L"d7"), fs::path());  // 8 levels below

    const fs::path half = temp.Path() / L"half";
    WriteBytes(half / L"CMakeLists.txt", "project()");
    fs::create_directories(half / L"bin");
    EXPECT_EQ(FindDeveloperRoot(half / L"bin"), fs::path());  // "apps" missing
    WriteBytes(half / L"apps", "any kind of entry counts");
    EXPECT_EQ(FindDeveloperRoot(half / L"bin"), half);
}
