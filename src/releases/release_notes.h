#pragma once
// Release notes read from the local ".release" files shipped beside the game.
#include <cstdint>
#include <filesystem>
#include <string>
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

class LocalReleaseNotesProvider {
public:
    // Empty folder: the "releases" folder found from the executable's folder.
    explicit LocalReleaseNotesProvider(std::filesystem::path folder = {});

    // Every release with a version, newest first; empty when the folder is missing.
    std::vector<ReleaseInfo> LoadHistory() const;

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace tarvo::releases
