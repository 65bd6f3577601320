#pragma once
// Release notes read from the local ".release" files shipped beside the game.
//
// A ".release" file is UTF-8 text, one "key = value" per line (an optional BOM,
// LF or CRLF line ends; blank lines and lines starting with '#' are skipped):
//
//   version     = 0.0.03.5              required; files without it are ignored
//   build       = 4
//   channel     = test
//   status      = published
//   date        = 2026-02-10
//   title.uk    = ...   title.en   = ...
//   summary.uk  = ...   summary.en = ...
//   note        = NEW | Ukrainian text | English text      (any number, kept in file order)
//
// Note categories: NEW, IMPROVED, FIXED, SECURITY, TECH, KNOWN ISSUES. A note with
// one text shows it in both languages; an unknown category or a note without text is
// skipped. A title or summary given in one language only stands in for the other.
// Unknown keys are ignored, a repeated key keeps its last value. A version longer than
// kMaxReleaseVersionUnits, or any other text longer than kMaxReleaseTextUnits, makes the
// file no release note: such texts only come from damaged files, and laying them out
// would stall or break the updates screen.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::releases {

enum class ReleaseCategory : std::uint32_t { New = 0, Improved = 1, Fixed = 2, Security = 3, Tech = 4, KnownIssues = 5 };

struct ReleaseNote {
    ReleaseCategory category = ReleaseCategory::New;
    std::wstring textUk;
    std::wstring textEn;
};

struct ReleaseInfo {
    std::wstring version;
    std::wstring build;
    std::wstring channel;
    std::wstring status;
    std::wstring date;
    std::wstring titleUk;
    std::wstring titleEn;
    std::wstring summaryUk;
    std::wstring summaryEn;
    std::vector<ReleaseNote> notes;
};

// Files larger than this are not release notes and are skipped unread.
inline constexpr std::uintmax_t kMaxReleaseFileBytes = 1u << 20;
inline constexpr std::size_t kMaxReleaseVersionUnits = 64;
inline constexpr std::size_t kMaxReleaseTextUnits = 1024;

// One file's bytes; nothing when they are not valid UTF-8 or name no version.
std::optional<ReleaseInfo> ParseReleaseFile(std::string_view bytes);

// The category word of a note ("KNOWN ISSUES" with one blank), ASCII case ignored.
std::optional<ReleaseCategory> ParseReleaseCategory(std::wstring_view word);

// Versions compared part by part between the dots: each part's leading digits as a
// number of any length (so 03 equals 3 and 10 follows 9), then the rest of the part
// as text; a missing part comes before any present one. Negative, zero or positive.
int CompareVersions(std::wstring_view a, std::wstring_view b);

// The "releases" folder of the executable folder or of its nearest ancestor that has
// one, eight folders in all; <executable folder>/releases when none does.
std::filesystem::path FindReleasesFolder(const std::filesystem::path& executableDirectory);

class LocalReleaseNotesProvider {
public:
    // Empty folder: the "releases" folder found from the executable's folder.
    explicit LocalReleaseNotesProvider(std::filesystem::path folder = {});

    // Every ".release" file of the folder that parses, newest version first (files of
    // equal version by file name); empty when the folder is missing. Reads the folder
    // on every call.
    std::vector<ReleaseInfo> LoadHistory() const;

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace tarvo::releases
