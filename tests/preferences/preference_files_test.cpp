#include <gtest/gtest.h>

#include <windows.h>

#include "shell/preference_files.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using tarvo::localization::Locale;
using tarvo::testing::ReadBytes;
using tarvo::testing::TempFolder;
using tarvo::testing::WriteBytes;
using namespace tarvo::ui;

namespace {

const std::string kBindings =
    "  \"controlBindings\": {\"crouch\":\"C\",\"reload\":\"R\",\"ads\":\"RMB\",\"fireMode\":\"B\","
    "\"leanLeft\":\"Q_DISABLED\",\"leanRight\":\"E_DISABLED\"}\n";

GamePreferences ReadFrom(std::string_view text, GamePreferences start = {}) {
    ReadGamePreferences(text, start);
    return start;
}

float VolumeOf(std::string_view member) { return ReadFrom("{\n  " + std::string(member) + "\n}\n").masterVolume; }

}  // namespace

TEST(GamePreferencesText, DefaultsWrittenByteExact) {
    EXPECT_EQ(FormatGamePreferences(GamePreferences{}),
              "{\n"
              "  \"schemaVersion\": 1,\n"
              "  \"locale\": \"uk-UA\",\n"
              "  \"vsync\": true,\n"
              "  \"fpsLimit\": 144,\n"
              "  \"renderer\": \"Auto\",\n"
              "  \"quality\": \"MEDIUM\",\n"
              "  \"masterVolume\": 0.70,\n"
              "  \"mouseSensitivity\": 0.075,\n" +
                  kBindings + "}\n");
}

TEST(GamePreferencesText, EveryValueSpelledAsTheFileExpects) {
    EXPECT_EQ(FormatGamePreferences({.locale = Locale::English, .vsync = false, .fpsLimit = 60, .renderer = 1,
                                     .quality = 2, .masterVolume = 1.0f, .mouseSensitivity = 0.115f}),
              "{\n  \"schemaVersion\": 1,\n  \"locale\": \"en-US\",\n  \"vsync\": false,\n  \"fpsLimit\": 60,\n"
              "  \"renderer\": \"Vulkan\",\n  \"quality\": \"HIGH\",\n  \"masterVolume\": 1.00,\n"
              "  \"mouseSensitivity\": 0.115,\n" +
                  kBindings + "}\n");

    struct Case {
        std::uint32_t renderer, quality;
        std::int32_t fps;
        float volume;
        const char* fragments[4];
    };
    const Case cases[] = {
        {2, 0, -5, 0.0f, {"\"renderer\": \"Direct3D11\",", "\"quality\": \"LOW\",", "\"fpsLimit\": -5,",
                          "\"masterVolume\": 0.00,"}},
        {7, 9, 240, 0.356f, {"\"renderer\": \"Auto\",", "\"quality\": \"MEDIUM\",", "\"fpsLimit\": 240,",
                             "\"masterVolume\": 0.36,"}},
        {0, 1, 120, 0.05f, {"\"renderer\": \"Auto\",", "\"quality\": \"MEDIUM\",", "\"fpsLimit\": 120,",
                            "\"masterVolume\": 0.05,"}},
    };
    for (const Case& c : cases) {
        const std::string text = FormatGamePreferences(
            {.fpsLimit = c.fps, .renderer = c.renderer, .quality = c.quality, .masterVolume = c.volume});
        for (const char* fragment : c.fragments) EXPECT_NE(text.find(fragment), std::string::npos) << fragment;
    }
}

TEST(GamePreferencesText, WrittenValuesReadBack) {
    for (Locale locale : {Locale::Ukrainian, Locale::English}) {
        for (std::uint32_t renderer : {0u, 1u, 2u}) {
            for (std::int32_t fps : {60, 120, 144}) {
                const GamePreferences written{.locale = locale, .vsync = renderer != 1, .fpsLimit = fps,
                                              .renderer = renderer, .quality = renderer, .masterVolume = 0.35f,
                                              .mouseSensitivity = renderer == 0 ? 0.045f : 0.115f};
                GamePreferences read;
                read.mouseSensitivity = 0.5f;
                read.masterVolume = 0.1f;
                ReadGamePreferences(FormatGamePreferences(written), read);
                EXPECT_EQ(read.locale, written.locale);
                EXPECT_EQ(read.vsync, written.vsync);
                EXPECT_EQ(read.fpsLimit, written.fpsLimit);
                EXPECT_EQ(read.renderer, written.renderer);
                EXPECT_EQ(read.quality, written.quality);
                EXPECT_FLOAT_EQ(read.masterVolume, 0.35f);
                EXPECT_FLOAT_EQ(read.mouseSensitivity, written.mouseSensitivity);
            }
        }
    }
    // The default volume goes out as 0.70 and comes back as the same float.
    EXPECT_EQ(ReadFrom(FormatGamePreferences(GamePreferences{})).masterVolume, 0.7f);
}

TEST(GamePreferencesText, FragmentsMustMatchExactly) {
    EXPECT_EQ(ReadFrom("{\"fpsLimit\": 240}").fpsLimit, 144);
    EXPECT_EQ(ReadFrom("{\"fpsLimit\": 30}").fpsLimit, 144);
    EXPECT_EQ(ReadFrom("{\"fpsLimit\": 120}").fpsLimit, 120);
    EXPECT_EQ(ReadFrom("{\"fpsLimit\":60}").fpsLimit, 144);  // no blank after the colon
    EXPECT_TRUE(ReadFrom("{\"vsync\":false}").vsync);
    EXPECT_FALSE(ReadFrom("{\"vsync\": false}").vsync);
    EXPECT_EQ(ReadFrom("{\"locale\":\"en-US\"}").locale, Locale::Ukrainian);
    EXPECT_EQ(ReadFrom("{\"renderer\": \"vulkan\"}").renderer, 0u);  // case matters
    EXPECT_EQ(ReadFrom("{\"quality\":\"HIGH\"}").quality, 1u);

    // First listed fragment wins when a file holds two.
    EXPECT_EQ(ReadFrom("\"renderer\": \"Direct3D11\" \"renderer\": \"Vulkan\"").renderer, 1u);
    EXPECT_EQ(ReadFrom("\"quality\": \"HIGH\" \"quality\": \"LOW\"").quality, 0u);
}

TEST(GamePreferencesText, MissingFragmentsGiveDefaultsButVolumeAndSensitivityKeepTheirValue) {
    const GamePreferences start{.locale = Locale::English, .vsync = false, .fpsLimit = 60, .renderer = 2, .quality = 0,
                                .masterVolume = 0.25f, .mouseSensitivity = 0.045f};

    const GamePreferences fromEmpty = ReadFrom("", start);  // an empty file changes nothing
    EXPECT_EQ(fromEmpty.locale, Locale::English);
    EXPECT_FALSE(fromEmpty.vsync);
    EXPECT_EQ(fromEmpty.fpsLimit, 60);

    const GamePreferences fromOther = ReadFrom("{}", start);
    EXPECT_EQ(fromOther.locale, Locale::Ukrainian);
    EXPECT_TRUE(fromOther.vsync);
    EXPECT_EQ(fromOther.fpsLimit, 144);
    EXPECT_EQ(fromOther.renderer, 0u);
    EXPECT_EQ(fromOther.quality, 1u);
    EXPECT_EQ(fromOther.masterVolume, 0.25f);
    EXPECT_EQ(fromOther.mouseSensitivity, 0.045f);
}

TEST(GamePreferencesText, VolumeIsClampedAndBadNumbersGiveTheDefault) {
    EXPECT_EQ(VolumeOf("\"masterVolume\": 1.75"), 1.0f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": -3"), 0.0f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": 0.35"), 0.35f);
    EXPECT_EQ(VolumeOf("\"masterVolume\":\n\t 0.5,"), 0.5f);   // leading white space skipped
    EXPECT_EQ(VolumeOf("\"masterVolume\": .25x"), 0.25f);      // longest valid prefix
    EXPECT_EQ(VolumeOf("\"masterVolume\": \"loud\""), 0.7f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": "), 0.7f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": 1e999"), 0.7f);      // out of range is no number
    EXPECT_EQ(VolumeOf("\"masterVolume\": nan"), 0.7f);        // not finite is no number
    EXPECT_EQ(VolumeOf("\"masterVolume\": -inf"), 0.7f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": infinity"), 0.7f);
    EXPECT_EQ(VolumeOf("\"masterVolume\": 0.2, \"masterVolume\": 0.9"), 0.2f);  // first occurrence
}

TEST(GamePreferencesText, SensitivityReadBackOnlyWhenUsable) {
    const auto sensitivity = [](std::string_view member) {
        GamePreferences start;
        start.mouseSensitivity = 0.075f;  // the configuration's value
        return ReadFrom("{\n  " + std::string(member) + "\n}\n", start).mouseSensitivity;
    };
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": 0.115,"), 0.115f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": 0.01"), 0.01f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": 1"), 1.0f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": 0.009"), 0.075f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": 1.5"), 0.075f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": -0.1"), 0.075f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": nan"), 0.075f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": inf"), 0.075f);
    EXPECT_EQ(sensitivity("\"mouseSensitivity\": fast"), 0.075f);
    EXPECT_EQ(sensitivity("\"masterVolume\": 0.50"), 0.075f);  // absent (files written before it existed)
}

TEST(UpdatePreferencesText, WrittenByteExactAndReadBack) {
    EXPECT_EQ(FormatUpdatePreferences(UpdatePreferences{}),
              "{\n"
              "  \"schemaVersion\": 1,\n"
              "  \"updateBaseUrl\": \"https://updates.tarvonix.net/updates\",\n"
              "  \"channel\": \"test\",\n"
              "  \"autoDownload\": true,\n"
              "  \"installOnExit\": true,\n"
              "  \"packageRevision\": 4\n"
              "}\n");
    for (bool download : {false, true}) {
        for (bool install : {false, true}) {
            UpdatePreferences read{!download, !install};
            ReadUpdatePreferences(FormatUpdatePreferences({download, install}), read);
            EXPECT_EQ(read.autoDownload, download);
            EXPECT_EQ(read.installOnExit, install);
        }
    }
    UpdatePreferences strict{false, false};
    ReadUpdatePreferences("{\"autoDownload\":false,\"installOnExit\":false}", strict);
    EXPECT_TRUE(strict.autoDownload);
    EXPECT_TRUE(strict.installOnExit);
}

TEST(PreferenceFiles, PathsUnderTheStateAndInstallRoots) {
    const fs::path root = L"C:\\Users\\p\\AppData\\Local\\TARVONIX VOLLEY";
    EXPECT_EQ(GameSettingsFile(root), root / L"Settings" / L"game.json");
    EXPECT_EQ(UpdateSettingsFile(root), root / L"Settings" / L"updates.json");
    EXPECT_EQ(PackageDefaultsFile(L"D:\\Games\\TV"), fs::path(L"D:\\Games\\TV") / L"config" / L"distribution.json");
}

TEST(PreferenceFiles, GameFileSavedAtomicallyAndLoaded) {
    TempFolder temp;
    const fs::path file = GameSettingsFile(temp.Path() / L"new root");
    GamePreferences written;
    written.locale = Locale::English;
    written.fpsLimit = 120;
    std::wstring error;
    ASSERT_TRUE(SaveGamePreferencesFile(file, written, error)) << error;
    EXPECT_EQ(ReadBytes(file), FormatGamePreferences(written));

    GamePreferences read;
    LoadGamePreferences(file, read);
    EXPECT_EQ(read.locale, Locale::English);
    EXPECT_EQ(read.fpsLimit, 120);

    GamePreferences untouched;
    untouched.fpsLimit = 60;
    LoadGamePreferences(temp.Path() / L"missing.json", untouched);
    EXPECT_EQ(untouched.fpsLimit, 60);
    WriteBytes(temp.Path() / L"empty.json", "");
    LoadGamePreferences(temp.Path() / L"empty.json", untouched);
    EXPECT_EQ(untouched.fpsLimit, 60);
}

TEST(PreferenceFiles, FailedUpdateSaveKeepsTheGoodFile) {
    TempFolder temp;
    const fs::path file = UpdateSettingsFile(temp.Path());
    std::wstring error;
    ASSERT_TRUE(SaveUpdatePreferencesFile(file, {true, true}, error)) << error;
    const std::string good = ReadBytes(file);

    HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const bool saved = SaveUpdatePreferencesFile(file, {false, false}, error);
    CloseHandle(holder);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(file), good);

    ASSERT_TRUE(SaveUpdatePreferencesFile(file, {false, true}, error)) << error;
    UpdatePreferences read;
    LoadUpdatePreferences(file, temp.Path() / L"none.json", read);
    EXPECT_FALSE(read.autoDownload);
    EXPECT_TRUE(read.installOnExit);
}

TEST(PreferenceFiles, PackageDefaultsOnlyWhenUpdatesFileCannotBeOpened) {
    TempFolder temp;
    const fs::path updates = UpdateSettingsFile(temp.Path() / L"state");
    const fs::path defaults = PackageDefaultsFile(temp.Path() / L"install");

    UpdatePreferences kept{false, false};
    LoadUpdatePreferences(updates, defaults, kept);  // neither file: values stay
    EXPECT_FALSE(kept.autoDownload);
    EXPECT_FALSE(kept.installOnExit);

    WriteBytes(defaults, "{\n  \"autoDownload\": false,\n  \"channel\": \"test\"\n}\n");
    UpdatePreferences fromDefaults;
    LoadUpdatePreferences(updates, defaults, fromDefaults);
    EXPECT_FALSE(fromDefaults.autoDownload);
    EXPECT_TRUE(fromDefaults.installOnExit);

    WriteBytes(updates, "");  // opens, so the defaults are not consulted
    UpdatePreferences fromEmpty{false, false};
    LoadUpdatePreferences(updates, defaults, fromEmpty);
    EXPECT_TRUE(fromEmpty.autoDownload);
    EXPECT_TRUE(fromEmpty.installOnExit);
}
