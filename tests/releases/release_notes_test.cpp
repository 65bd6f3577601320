// The ".release" note format, the version order, the folder reader over real files
// and the notes shipped with this version.
#include <gtest/gtest.h>

#include "common/file_utils.h"
#include "releases/release_notes.h"
#include "support/temp_folder.h"

namespace tarvo::releases {
namespace {

namespace fs = std::filesystem;
using testing::WriteBytes;

std::vector<std::wstring> Versions(const std::vector<ReleaseInfo>& history) {
    std::vector<std::wstring> versions;
    for (const auto& r : history) versions.push_back(r.version);
    return versions;
}

TEST(ReleaseFile, ReadsEveryFieldAndNotesInFileOrder) {
    const std::string text =
        "\xEF\xBB\xBF# notes\r\n"
        "version = 0.0.03.5\r\n"
        "build=4\r\n"
        "channel = test\r\n"
        "status = published\r\n"
        "date = 2026-02-10\r\n"
        "\r\n"
        "title.uk = Тренування\r\n"
        "title.en = Training\r\n"
        "summary.uk = Підсумок = з рівністю\r\n"
        "summary.en = Summary\r\n"
        "future.key = ignored\r\n"
        "note = NEW | Нове | New thing\r\n"
        "note = known issues | Відомо | Known | with a bar\r\n"
        "note = fixed | Лише одна мова\r\n"
        "note = LATER | Невідома категорія | Unknown category\r\n"
        "note = TECH |  | \r\n"
        "note without equals sign\r\n";
    const auto info = ParseReleaseFile(text);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->version, L"0.0.03.5");
    EXPECT_EQ(info->build, L"4");
    EXPECT_EQ(info->channel, L"test");
    EXPECT_EQ(info->status, L"published");
    EXPECT_EQ(info->date, L"2026-02-10");
    EXPECT_EQ(info->titleUk, L"Тренування");
    EXPECT_EQ(info->titleEn, L"Training");
    EXPECT_EQ(info->summaryUk, L"Підсумок = з рівністю");
    EXPECT_EQ(info->summaryEn, L"Summary");
    ASSERT_EQ(info->notes.size(), 3u);
    EXPECT_EQ(info->notes[0].category, ReleaseCategory::New);
    EXPECT_EQ(info->notes[0].textUk, L"Нове");
    EXPECT_EQ(info->notes[0].textEn, L"New thing");
    EXPECT_EQ(info->notes[1].category, ReleaseCategory::KnownIssues);
    EXPECT_EQ(info->notes[1].textEn, L"Known | with a bar");
    EXPECT_EQ(info->notes[2].category, ReleaseCategory::Fixed);
    EXPECT_EQ(info->notes[2].textUk, L"Лише одна мова");
    EXPECT_EQ(info->notes[2].textEn, L"Лише одна мова");
}

TEST(ReleaseFile, OneLanguageStandsInForTheOther) {
    const auto info = ParseReleaseFile("version=1\ntitle.en=Only English\nsummary.uk=Лише українською\n");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->titleUk, L"Only English");
    EXPECT_EQ(info->summaryEn, L"Лише українською");
}

TEST(ReleaseFile, WithoutVersionOrValidTextThereIsNoRelease) {
    EXPECT_FALSE(ParseReleaseFile(""));
    EXPECT_FALSE(ParseReleaseFile("title.en = No version\n"));
    EXPECT_FALSE(ParseReleaseFile("version =   \n"));
    EXPECT_FALSE(ParseReleaseFile("version = 1.0\ntitle.en = \xC3\x28\n")) << "invalid UTF-8";
    EXPECT_TRUE(ParseReleaseFile("version = 1.0")) << "no final line break";

    // Texts only a damaged file holds: a version of 100,000 digits, or any text past its limit.
    EXPECT_FALSE(ParseReleaseFile("version = " + std::string(100000, '7') + "\n"));
    EXPECT_TRUE(ParseReleaseFile("version = " + std::string(kMaxReleaseVersionUnits, '7')));
    EXPECT_FALSE(ParseReleaseFile("version = " + std::string(kMaxReleaseVersionUnits + 1, '7')));
    const std::string longest(kMaxReleaseTextUnits, 'x');
    EXPECT_TRUE(ParseReleaseFile("version = 1\ntitle.en = " + longest + "\nnote = NEW | a | " + longest));
    EXPECT_FALSE(ParseReleaseFile("version = 1\nsummary.uk = " + longest + "x"));
    EXPECT_FALSE(ParseReleaseFile("version = 1\nnote = FIXED | " + longest + "x | b"));
}

TEST(ReleaseVersions, ComparePartByPartAsNumbers) {
    EXPECT_GT(CompareVersions(L"0.0.03.10", L"0.0.03.9"), 0);
    EXPECT_LT(CompareVersions(L"0.0.03.9", L"0.0.03.10"), 0);
    EXPECT_EQ(CompareVersions(L"0.0.03.5", L"0.0.3.5"), 0) << "leading zeros do not count";
    EXPECT_GT(CompareVersions(L"0.1", L"0.0.99"), 0);
    EXPECT_GT(CompareVersions(L"1.2.0", L"1.2"), 0) << "a present part beats a missing one";
    EXPECT_GT(CompareVersions(L"1.100000000000000000000000000", L"1.99999999999999999999999999"), 0)
        << "parts longer than any integer still compare";
    EXPECT_GT(CompareVersions(L"1.2b", L"1.2a"), 0);
    EXPECT_GT(CompareVersions(L"1.10a", L"1.9z"), 0);
    EXPECT_EQ(CompareVersions(L"", L""), 0);
}

class ReleaseFolder : public ::testing::Test {
protected:
    testing::TempFolder temp;
};

TEST_F(ReleaseFolder, HistoryIsNewestFirstAndSkipsWhatIsNotARelease) {
    const fs::path dir = temp.Path() / "releases";
    for (const char* v : {"0.0.03.9", "0.0.03.10", "0.0.02.7", "0.0.03.5"}) {
        std::string text = "version = ";
        text.append(v).append("\n");
        WriteBytes(dir / (fs::path(v) += ".release"), text);
    }
    WriteBytes(dir / "notes.txt", "version = 9.9.9\n");
    WriteBytes(dir / "draft.release", "title.en = no version yet\n");
    WriteBytes(dir / "UPPER.RELEASE", "version = 0.0.01\n");
    fs::create_directories(dir / "folder.release");
    std::string huge = "version = 99\n";
    huge.append(kMaxReleaseFileBytes, '#');
    WriteBytes(dir / "huge.release", huge);

    const std::vector<ReleaseInfo> history = LocalReleaseNotesProvider(dir).LoadHistory();
    EXPECT_EQ(Versions(history),
              (std::vector<std::wstring>{L"0.0.03.10", L"0.0.03.9", L"0.0.03.5", L"0.0.02.7", L"0.0.01"}));
}

TEST_F(ReleaseFolder, EqualVersionsKeepFileNameOrder) {
    const fs::path dir = temp.Path();
    WriteBytes(dir / "b.release", "version = 1.0\ntitle.en = B\n");
    WriteBytes(dir / "a.release", "version = 1.00\ntitle.en = A\n");
    const auto history = LocalReleaseNotesProvider(dir).LoadHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].titleEn, L"A");
    EXPECT_EQ(history[1].titleEn, L"B");
}

TEST_F(ReleaseFolder, MissingFolderGivesNoHistory) {
    EXPECT_TRUE(LocalReleaseNotesProvider(temp.Path() / "absent").LoadHistory().empty());
}

TEST_F(ReleaseFolder, NearestAncestorWithReleasesIsUsed) {
    const fs::path exe = temp.Path() / "a" / "b" / "c" / "bin";
    fs::create_directories(exe);
    EXPECT_EQ(FindReleasesFolder(exe), exe / "releases") << "none anywhere: beside the executable";
    fs::create_directories(temp.Path() / "a" / "releases");
    EXPECT_EQ(FindReleasesFolder(exe), temp.Path() / "a" / "releases");
    fs::create_directories(exe / "releases");
    EXPECT_EQ(FindReleasesFolder(exe), exe / "releases");
}

TEST_F(ReleaseFolder, SearchStopsAfterEightFolders) {
    fs::path exe = temp.Path();
    for (int i = 0; i < 8; ++i) exe /= fs::path("d") += std::to_string(i);
    fs::create_directories(exe);
    fs::create_directories(temp.Path() / "releases");  // the ninth folder up from exe
    EXPECT_EQ(FindReleasesFolder(exe), exe / "releases");
    fs::create_directories(temp.Path() / "d0" / "releases");  // the eighth
    EXPECT_EQ(FindReleasesFolder(exe), temp.Path() / "d0" / "releases");
}

TEST(ShippedReleaseNotes, ThisVersionIsFoundBesideTheBuildInBothLanguages) {
    const LocalReleaseNotesProvider provider;
    EXPECT_EQ(provider.Folder(), FindReleasesFolder(distribution::ExecutableDirectory()));
    const std::vector<ReleaseInfo> history = provider.LoadHistory();
    ASSERT_FALSE(history.empty()) << provider.Folder();
    const ReleaseInfo& current = history.front();
    EXPECT_EQ(current.version, L"0.0.03.5");
    EXPECT_FALSE(current.date.empty());
    EXPECT_NE(current.titleUk, current.titleEn);
    EXPECT_NE(current.summaryUk, current.summaryEn);
    bool added = false, changed = false, fixed = false;
    for (const auto& note : current.notes) {
        EXPECT_NE(note.textUk, note.textEn);
        added |= note.category == ReleaseCategory::New;
        changed |= note.category == ReleaseCategory::Improved || note.category == ReleaseCategory::Tech;
        fixed |= note.category == ReleaseCategory::Fixed;
    }
    EXPECT_TRUE(added && changed && fixed) << "every column of the updates screen has a note";
}

}  // namespace
}  // namespace tarvo::releases
