#include "releases/release_notes.h"

// Reading the ".release" files is not part of this build yet: no notes are found.
namespace tarvo::releases {

LocalReleaseNotesProvider::LocalReleaseNotesProvider(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::vector<ReleaseInfo> LocalReleaseNotesProvider::LoadHistory() const { return {}; }

}  // namespace tarvo::releases
