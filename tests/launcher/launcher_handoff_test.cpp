// The launcher hand-off over real install layouts in a temporary folder: a stand-in
// program (built beside this test) records the arguments and working folder it was
// started with, so each test sees exactly what the launcher or migrator would get.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "common/text_utils.h"
#include "distribution/launcher_pointer.h"
#include "shell/launcher_handoff.h"
#include "shell/shell_fixture.h"

namespace tarvo::ui::test {
namespace {

namespace fs = std::filesystem;

struct Record {
    fs::path folder;
    std::vector<std::wstring> arguments;
};

fs::path StandIn() { return NativeShell::ExecutableDirectory() / "tarvo_launcher_stand_in.exe"; }

fs::path Sidecar(const fs::path& program, const wchar_t* suffix) { return fs::path(program.native() + suffix); }

void Place(const fs::path& program, std::optional<int> exitCode = std::nullopt, int sleepMs = 0) {
    fs::create_directories(program.parent_path());
    fs::copy_file(StandIn(), program, fs::copy_options::overwrite_existing);
    if (exitCode) testing::WriteBytes(Sidecar(program, L".exitcode"), std::to_string(*exitCode));
    if (sleepMs > 0) testing::WriteBytes(Sidecar(program, L".sleep"), std::to_string(sleepMs));
}

std::optional<Record> ReadRecord(const fs::path& program) {
    const fs::path file = Sidecar(program, L".args");
    std::error_code ec;
    if (!fs::exists(file, ec)) return std::nullopt;
    const std::wstring text = distribution::Utf8ToWide(testing::ReadBytes(file));
    // Under Wine a reader beside a starting program can find the file there and still empty;
    // a whole record ends with a line break.
    if (text.empty() || text.back() != L'\n') return std::nullopt;
    Record record;
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find(L'\n', start);
        const std::wstring line = text.substr(start, end - start);
        if (first) {
            record.folder = line;
            first = false;
        } else {
            record.arguments.push_back(line);
        }
        start = end == std::wstring::npos ? text.size() : end + 1;
    }
    return record;
}

// Programs started through the shell run on their own: poll for what they wrote. The minute
// is a hang guard; a process start under load can take seconds.
std::optional<Record> AwaitRecord(const fs::path& program) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    do {
        if (std::optional<Record> record = ReadRecord(program)) return record;
        Sleep(20);
    } while (std::chrono::steady_clock::now() < guard);
    return std::nullopt;
}

// Until the program has ended: its file can be deleted only then, so its folder can be removed.
void AwaitExit(const fs::path& program) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::error_code ec;
    while (!fs::exists(Sidecar(program, L".done"), ec) && std::chrono::steady_clock::now() < guard) Sleep(20);
    while (!DeleteFileW(program.c_str()) && std::chrono::steady_clock::now() < guard) Sleep(20);
}

// The arguments as the standard parser of a command line reads them back.
std::vector<std::wstring> ParsedArguments(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 0; argv && i < count; ++i) arguments.emplace_back(argv[i]);
    if (argv) LocalFree(argv);
    return arguments;
}

TEST(CommandLineQuoting, EveryArgumentArrivesIntact) {
    const std::vector<std::wstring> samples = {
        L"C:\\Games\\Tarvonix Volley",
        L"C:\\",
        L"C:\\Program Files\\Tarvonix\\\\",
        L"say \"hi\"",
        L"back\\\"slash quote",
        L"\\\\server\\share\\",
        L"",
        L"кирилиця і пробіли",
    };
    std::wstring commandLine = L"program.exe";
    for (const auto& sample : samples) commandLine += L" " + QuoteCommandLineArgument(sample);
    std::vector<std::wstring> parsed = ParsedArguments(commandLine);
    ASSERT_EQ(parsed.size(), samples.size() + 1);
    parsed.erase(parsed.begin());
    EXPECT_EQ(parsed, samples);
}

TEST(CommandLineQuoting, PlainPathsGiveTheDocumentedLine) {
    EXPECT_EQ(MigratorCommandLine(L"D:\\Game\\distribution\\launcher-migration\\TarvonixBootstrapMigrator.exe",
                                  L"D:\\Install", L"D:\\Game\\distribution\\launcher-component"),
              L"\"D:\\Game\\distribution\\launcher-migration\\TarvonixBootstrapMigrator.exe\" --install-root "
              L"\"D:\\Install\" --component-root \"D:\\Game\\distribution\\launcher-component\" --no-launch --quiet");
    EXPECT_EQ(QuoteCommandLineArgument(L"D:\\"), L"\"D:\\\\\"");
}

class LauncherHandoff : public ShellFixture {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(StandIn())) << "the stand-in is built with this test"; }

    fs::path Layout(const wchar_t* name) const { return layouts_.Path() / name; }

    std::vector<std::string> MigrationEvents() const {
        std::vector<std::string> events;
        for (const auto& e : LogEvents()) {
            if (e.rfind("BootstrapMigration", 0) == 0) events.push_back(e);
        }
        return events;
    }

private:
    testing::TempFolder layouts_;
};

TEST_F(LauncherHandoff, BootstrapProgramWinsOverTheLauncherAndGetsItsArgument) {
    const fs::path root = Layout(L"install");
    const fs::path bootstrap = root / "launcher" / "TarvonixBootstrap.exe";
    const fs::path launcher = root / "launcher" / "TarvonixLauncher.exe";
    Place(bootstrap);
    Place(launcher);
    EXPECT_EQ(ChooseLauncherProgram(root), bootstrap);

    ASSERT_TRUE(StartLauncherProgram(nullptr, root, L"--check-now"));
    const std::optional<Record> record = AwaitRecord(bootstrap);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments, std::vector<std::wstring>{L"--check-now"});
    EXPECT_TRUE(fs::equivalent(record->folder, root / "launcher")) << record->folder;
    AwaitExit(bootstrap);
    EXPECT_FALSE(ReadRecord(launcher)) << "only one program starts";
}

TEST_F(LauncherHandoff, LauncherAloneRepairsShortcuts) {
    const fs::path root = Layout(L"install with blanks");
    const fs::path launcher = root / "launcher" / "TarvonixLauncher.exe";
    Place(launcher);
    EXPECT_EQ(ChooseLauncherProgram(root), launcher);
    ASSERT_TRUE(StartLauncherProgram(nullptr, root, L"--repair-shortcuts"));
    const std::optional<Record> record = AwaitRecord(launcher);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments, std::vector<std::wstring>{L"--repair-shortcuts"});
    AwaitExit(launcher);
}

TEST_F(LauncherHandoff, NoProgramMeansFalseAndNothingStarted) {
    const fs::path root = Layout(L"empty");
    fs::create_directories(root / "launcher");
    EXPECT_TRUE(ChooseLauncherProgram(root).empty());
    EXPECT_FALSE(StartLauncherProgram(nullptr, root, L"--check-now"));
    EXPECT_FALSE(StartLauncherProgram(nullptr, root, L"--repair-shortcuts"));
}

TEST_F(LauncherHandoff, PlainFolderNeverMigratesOrLogs) {
    const fs::path exe = Layout(L"plain");
    const fs::path migrator = exe / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator);
    RunBootstrapMigrationFor(exe, exe);
    EXPECT_TRUE(MigrationEvents().empty());
    EXPECT_FALSE(ReadRecord(migrator)) << "the migrator was not started";
}

TEST_F(LauncherHandoff, MigratorGetsQuotedRootsAndSuccessIsLogged) {
    // A root written with a trailing backslash must not swallow the closing quote.
    const fs::path root = fs::path(Layout(L"install root").native() + L"\\");
    testing::WriteBytes(root / "current.json", "{}");
    const fs::path exe = Layout(L"game folder");
    const fs::path migrator = exe / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator, 0);

    RunBootstrapMigrationFor(root, exe);
    EXPECT_EQ(MigrationEvents(),
              (std::vector<std::string>{"BootstrapMigrationRequested", "BootstrapMigrationCompleted"}));
    const std::optional<Record> record = ReadRecord(migrator);  // the run waited for it
    ASSERT_TRUE(record);
    const std::vector<std::wstring> expected = {L"--install-root",
                                                root.native(),
                                                L"--component-root",
                                                (exe / "distribution" / "launcher-component").native(),
                                                L"--no-launch",
                                                L"--quiet"};
    EXPECT_EQ(record->arguments, expected);
    EXPECT_TRUE(fs::equivalent(record->folder, migrator.parent_path()));
    AwaitExit(migrator);
}

TEST_F(LauncherHandoff, FailureExitCodeIsLogged) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    const fs::path migrator = root / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator, 3);
    RunBootstrapMigrationFor(root, root);
    EXPECT_EQ(MigrationEvents(), (std::vector<std::string>{"BootstrapMigrationRequested", "BootstrapMigrationFailed=3"}));
    AwaitExit(migrator);
}

TEST_F(LauncherHandoff, MissingMigratorIsUnavailable) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    RunBootstrapMigrationFor(root, Layout(L"bare game"));
    EXPECT_EQ(MigrationEvents(), std::vector<std::string>{"BootstrapMigrationUnavailable"});
}

TEST_F(LauncherHandoff, MigratorThatCannotStartLogsTheSystemError) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    const fs::path migrator = root / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    testing::WriteBytes(migrator, "not a program");
    RunBootstrapMigrationFor(root, root);
    const std::vector<std::string> events = MigrationEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], "BootstrapMigrationRequested");
    const std::string prefix = "BootstrapMigrationCreateProcessFailed=";
    ASSERT_EQ(events[1].rfind(prefix, 0), 0u) << events[1];
    const std::string code = events[1].substr(prefix.size());
    ASSERT_FALSE(code.empty());
    EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }));
    EXPECT_NE(code, "0");
}

TEST_F(LauncherHandoff, CompletedMigrationIsNotRunAgain) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    Place(root / "launcher" / "TarvonixBootstrap.exe");
    testing::WriteBytes(root / "launcher" / "current.json", R"({"version": "1.4.0", "executable": "TarvonixLauncher.exe"})");
    const fs::path migrator = root / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator);
    RunBootstrapMigrationFor(root, root);
    EXPECT_EQ(MigrationEvents(), std::vector<std::string>{"BootstrapMigrationAlreadyComplete"});
    EXPECT_FALSE(ReadRecord(migrator));
}

TEST_F(LauncherHandoff, UnreadablePointerRunsTheMigratorAgain) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    Place(root / "launcher" / "TarvonixBootstrap.exe");
    testing::WriteBytes(root / "launcher" / "current.json", "{\"version\": ");
    const fs::path migrator = root / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator, 0);
    RunBootstrapMigrationFor(root, root);
    EXPECT_EQ(MigrationEvents(),
              (std::vector<std::string>{"BootstrapMigrationRequested", "BootstrapMigrationCompleted"}));
    AwaitExit(migrator);
}

TEST_F(LauncherHandoff, MigratorStillRunningAfterTheWaitCountsAsFailed) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "current.json", "{}");
    const fs::path migrator = root / "distribution" / "launcher-migration" / "TarvonixBootstrapMigrator.exe";
    Place(migrator, 0, 1500);
    RunBootstrapMigrationFor(root, root, 100);
    EXPECT_EQ(MigrationEvents(),
              (std::vector<std::string>{"BootstrapMigrationRequested", "BootstrapMigrationFailed=259"}));
    AwaitExit(migrator);
    EXPECT_TRUE(ReadRecord(migrator)) << "it went on by itself";
}

TEST_F(LauncherHandoff, ThisBuildFolderIsAPlainInstall) {
    auto shell = MakeShell();
    EXPECT_EQ(NativeShell::DistributionInstallRoot(), NativeShell::ExecutableDirectory());
    shell->RunBootstrapMigration();
    EXPECT_TRUE(MigrationEvents().empty());
    EXPECT_FALSE(shell->OpenDistributionLauncher());
    EXPECT_FALSE(shell->RepairDistributionShortcuts());
}

// ---- The launcher pointer ---------------------------------------------------------

TEST_F(LauncherHandoff, PointerIsReadWhenWellFormed) {
    const fs::path root = Layout(L"install");
    testing::WriteBytes(root / "launcher" / "current.json",
                        "\xEF\xBB\xBF{\"version\": \"1.4.0\", \"executable\": \"versions/1.4.0/TarvonixLauncher.exe\"}");
    std::wstring error = L"untouched";
    const auto pointer = distribution::ReadLauncherPointer(root, error);
    ASSERT_TRUE(pointer);
    EXPECT_EQ(pointer->version, L"1.4.0");
    EXPECT_EQ(pointer->executable, fs::path(L"versions/1.4.0/TarvonixLauncher.exe"));
    EXPECT_EQ(error, L"untouched");
}

TEST_F(LauncherHandoff, PointerErrorsNameTheirCause) {
    const fs::path root = Layout(L"install");
    std::wstring error;
    EXPECT_FALSE(distribution::ReadLauncherPointer(root, error));
    EXPECT_EQ(error, L"Versioned Launcher pointer is missing.");

    for (const char* bad : {"", "not json", "{\"version\": \"\"}", "{\"executable\": \"x.exe\"}", "[\"1.0\"]",
                            "{\"version\": 140}", "{\"version\": \"1.0\""}) {
        testing::WriteBytes(root / "launcher" / "current.json", bad);
        error.clear();
        EXPECT_FALSE(distribution::ReadLauncherPointer(root, error)) << bad;
        EXPECT_EQ(error, L"Versioned Launcher pointer is invalid.") << bad;
    }

    fs::remove(root / "launcher" / "current.json");
    fs::create_directories(root / "launcher" / "current.json");
    error.clear();
    EXPECT_FALSE(distribution::ReadLauncherPointer(root, error));
    EXPECT_EQ(error, L"Versioned Launcher pointer could not be read.");
}

}  // namespace
}  // namespace tarvo::ui::test
