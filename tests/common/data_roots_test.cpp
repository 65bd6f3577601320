#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>

#include <cwctype>

#include "common/data_roots.h"
#include "common/environment.h"
#include "common/text_utils.h"
#include "common/time_utils.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace tarvo::distribution;
using tarvo::testing::ReadBytes;
using tarvo::testing::ScopedEnvironment;
using tarvo::testing::TempFolder;
using tarvo::testing::WriteBytes;

namespace {

bool IsUpperGuidText(const std::wstring& id) {
    if (id.size() != 36) return false;
    for (std::size_t i = 0; i < id.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen != (id[i] == L'-')) return false;
        if (!hyphen && !((id[i] >= L'0' && id[i] <= L'9') || (id[i] >= L'A' && id[i] <= L'F'))) return false;
    }
    return true;
}

fs::path IdFile(const fs::path& root) { return root / L"Telemetry" / L"installation.id"; }

}  // namespace

TEST(UtcTimestamp, HasTheFixedFormAndMatchesTheClock) {
    EXPECT_EQ(FormatUtcTimestamp(2026, 3, 7, 9, 4, 5, 42), L"2026-03-07T09:04:05.042Z");
    EXPECT_EQ(FormatUtcTimestamp(999, 12, 31, 23, 59, 59, 999), L"0999-12-31T23:59:59.999Z");

    // Every field against the system clock read just before and just after.
    SYSTEMTIME before{}, after{};
    GetSystemTime(&before);
    const std::wstring now = UtcTimestamp();
    GetSystemTime(&after);
    const std::wstring shape = L"0000-00-00T00:00:00.000Z";
    ASSERT_EQ(now.size(), shape.size()) << WideToUtf8(now);
    for (std::size_t i = 0; i < shape.size(); ++i) {
        EXPECT_TRUE(shape[i] == L'0' ? std::iswdigit(now[i]) != 0 : now[i] == shape[i]) << i;
    }
    const auto field = [&](std::size_t at, std::size_t length) {
        return static_cast<WORD>(std::stoi(now.substr(at, length)));
    };
    SYSTEMTIME stamp{field(0, 4), field(5, 2), 0, field(8, 2), field(11, 2), field(14, 2), field(17, 2), field(20, 3)};
    FILETIME early{}, read{}, late{};
    ASSERT_TRUE(SystemTimeToFileTime(&before, &early) && SystemTimeToFileTime(&stamp, &read) &&
                SystemTimeToFileTime(&after, &late))
        << WideToUtf8(now);
    EXPECT_LE(CompareFileTime(&early, &read), 0) << WideToUtf8(now);
    EXPECT_LE(CompareFileTime(&read, &late), 0) << WideToUtf8(now);
}

TEST(EnvironmentOverride, OnlyNonEmptyValuesCount) {
    {
        ScopedEnvironment unset(L"TARVO_TEST_OVERRIDE", nullptr);
        EXPECT_FALSE(EnvironmentOverride(L"TARVO_TEST_OVERRIDE"));
    }
    {
        ScopedEnvironment empty(L"TARVO_TEST_OVERRIDE", L"");
        EXPECT_FALSE(EnvironmentOverride(L"TARVO_TEST_OVERRIDE"));
    }
    ScopedEnvironment set(L"TARVO_TEST_OVERRIDE", L" C:\\Дані ");
    EXPECT_EQ(EnvironmentOverride(L"TARVO_TEST_OVERRIDE"), std::wstring(L" C:\\Дані "));  // no trimming
}

TEST(UserStateRoot, QaOverrideIsTakenUnchangedAndNotCreated) {
    TempFolder temp;
    const fs::path root = temp.Path() / L"not yet" / L"there";
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", root.c_str());
    EXPECT_EQ(UserStateRoot(), root);
    EXPECT_FALSE(fs::exists(root));
}

TEST(UserStateRoot, DefaultsToProductFolderInLocalAppData) {
    ScopedEnvironment empty(L"TARVO_QA_DATA_ROOT", L"");  // empty counts as unset
    const fs::path root = UserStateRoot();
    EXPECT_EQ(root.filename(), L"TARVONIX VOLLEY");
    EXPECT_EQ(root.parent_path(), KnownFolder(FOLDERID_LocalAppData));
    EXPECT_TRUE(root.is_absolute());
}

TEST(KnownFolder, ShortcutOverrideRedirectsOnlyDesktopAndPrograms) {
    const fs::path realLocal = KnownFolder(FOLDERID_LocalAppData);
    ASSERT_FALSE(realLocal.empty());
    TempFolder temp;
    ScopedEnvironment shortcuts(L"TARVO_QA_SHORTCUT_ROOT", temp.Path().c_str());
    EXPECT_EQ(KnownFolder(FOLDERID_Desktop), temp.Path() / L"Desktop");
    EXPECT_EQ(KnownFolder(FOLDERID_Programs), temp.Path() / L"StartMenu" / L"Programs");
    EXPECT_EQ(KnownFolder(FOLDERID_LocalAppData), realLocal);
    EXPECT_EQ(DefaultInstallRoot(), realLocal / L"Programs" / L"TARVONIX VOLLEY");
}

TEST(EnsureInstallationId, CreatedOnceThenStable) {
    TempFolder temp;
    const fs::path root = temp.Path() / L"state";
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", root.c_str());

    const std::wstring id = EnsureInstallationId();
    EXPECT_TRUE(IsUpperGuidText(id)) << id;
    const std::string stored = ReadBytes(IdFile(root));
    ASSERT_EQ(stored.size(), 37u);
    EXPECT_EQ(stored.back(), '\n');
    EXPECT_EQ(std::wstring(stored.begin(), stored.end() - 1), id);
    EXPECT_FALSE(fs::exists(root / L"Telemetry" / L"installation.id.tmp"));

    EXPECT_EQ(EnsureInstallationId(), id);
    EXPECT_EQ(ReadBytes(IdFile(root)), stored);
}

TEST(EnsureInstallationId, AcceptsAnyStoredTextOf32To64Characters) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    const std::string withCrLf = "0A1B2C3D-0000-4000-8000-00000000ABCD\r\n";
    const std::string withBraces = "{0A1B2C3D-0000-4000-8000-00000000ABCD}";
    const std::string shortest(32, 'k');
    const std::string longest(64, 'z');
    const std::string lowerCase = "0a1b2c3d-0000-4000-8000-00000000abcd\n\n";
    for (const std::string& content : {withCrLf, withBraces, shortest, longest, lowerCase}) {
        WriteBytes(IdFile(temp.Path()), content);
        std::string expected = content;
        while (!expected.empty() && (expected.back() == '\r' || expected.back() == '\n')) expected.pop_back();
        EXPECT_EQ(EnsureInstallationId(), std::wstring(expected.begin(), expected.end()));
        EXPECT_EQ(ReadBytes(IdFile(temp.Path())), content);  // not rewritten
    }
}

TEST(EnsureInstallationId, ReplacesDamagedIds) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    const std::string tooShort(31, 'a');
    const std::string tooLong(65, 'a');
    const std::string invalidUtf8 = std::string(40, 'a') + "\xFF";
    const std::string onlyLineEnds = "\r\n\r\n";
    for (const std::string& content : {tooShort, tooLong, invalidUtf8, onlyLineEnds}) {
        WriteBytes(IdFile(temp.Path()), content);
        const std::wstring id = EnsureInstallationId();
        EXPECT_TRUE(IsUpperGuidText(id)) << id;
        EXPECT_EQ(ReadBytes(IdFile(temp.Path())).size(), 37u);
    }
}

TEST(EnsureInstallationId, EmptyWhenTheIdCannotBeStored) {
    TempFolder temp;
    ScopedEnvironment qa(L"TARVO_QA_DATA_ROOT", temp.Path().c_str());
    WriteBytes(temp.Path() / L"Telemetry", "a file where the folder should be");
    EXPECT_EQ(EnsureInstallationId(), L"");
}
