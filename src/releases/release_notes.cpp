#include "releases/release_notes.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "common/file_utils.h"
#include "common/text_utils.h"

namespace tarvo::releases {
namespace {

namespace fs = std::filesystem;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Numbers of any length compare without overflow: leading zeros dropped, then the
// longer run is larger, then digit by digit.
int CompareDigitRuns(std::wstring_view a, std::wstring_view b) {
    while (a.size() > 1 && a.front() == L'0') a.remove_prefix(1);
    while (b.size() > 1 && b.front() == L'0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int ComparePart(std::wstring_view a, std::wstring_view b) {
    size_t da = 0, db = 0;
    while (da < a.size() && IsDigit(a[da])) ++da;
    while (db < b.size() && IsDigit(b[db])) ++db;
    if (da > 0 && db > 0) {
        if (const int c = CompareDigitRuns(a.substr(0, da), b.substr(0, db)); c != 0) return c;
        a.remove_prefix(da);
        b.remove_prefix(db);
    } else if (da > 0 || db > 0) {
        return da > 0 ? 1 : -1;  // a number ranks above a word
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::wstring_view NextPart(std::wstring_view& rest, bool& present) {
    present = !rest.empty();
    const size_t dot = rest.find(L'.');
    std::wstring_view part = rest.substr(0, dot);
    rest = dot == std::wstring_view::npos ? std::wstring_view() : rest.substr(dot + 1);
    return part;
}

void FillMissingLanguage(std::wstring& uk, std::wstring& en) {
    if (uk.empty()) uk = en;
    if (en.empty()) en = uk;
}

std::optional<ReleaseNote> ParseNote(std::wstring_view value) {
    const size_t first = value.find(L'|');
    if (first == std::wstring_view::npos) return std::nullopt;
    const std::optional<ReleaseCategory> category = ParseReleaseCategory(Trim(value.substr(0, first)));
    if (!category) return std::nullopt;
    std::wstring_view texts = value.substr(first + 1);
    const size_t second = texts.find(L'|');  // the English text may hold further bars
    ReleaseNote note;
    note.category = *category;
    note.textUk = Trim(texts.substr(0, second));
    note.textEn = second == std::wstring_view::npos ? std::wstring() : std::wstring(Trim(texts.substr(second + 1)));
    FillMissingLanguage(note.textUk, note.textEn);
    if (note.textUk.empty()) return std::nullopt;
    return note;
}

std::string ReadSmallFile(const fs::path& file) { return distribution::ReadUtf8File(file, kMaxReleaseFileBytes); }

}  // namespace

std::optional<ReleaseCategory> ParseReleaseCategory(std::wstring_view word) {
    static constexpr std::pair<std::wstring_view, ReleaseCategory> kWords[] = {
        {L"NEW", ReleaseCategory::New},           {L"IMPROVED", ReleaseCategory::Improved},
        {L"FIXED", ReleaseCategory::Fixed},       {L"SECURITY", ReleaseCategory::Security},
        {L"TECH", ReleaseCategory::Tech},         {L"KNOWN ISSUES", ReleaseCategory::KnownIssues},
    };
    for (const auto& [name, category] : kWords) {
        if (EqualsIgnoringAsciiCase(word, name)) return category;
    }
    return std::nullopt;
}

std::optional<ReleaseInfo> ParseReleaseFile(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    std::wstring text = distribution::Utf8ToWide(bytes);
    if (text.empty()) return std::nullopt;  // not UTF-8
    if (text.front() == L'\uFEFF') text.erase(0, 1);

    ReleaseInfo info;
    std::wstring_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == L'#') continue;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) continue;
        const std::wstring_view key = Trim(line.substr(0, equals));
        const std::wstring_view value = Trim(line.substr(equals + 1));

        if (key == L"note") {
            if (std::optional<ReleaseNote> note = ParseNote(value)) info.notes.push_back(std::move(*note));
            continue;
        }
        static constexpr std::pair<std::wstring_view, std::wstring ReleaseInfo::*> kFields[] = {
            {L"version", &ReleaseInfo::version},     {L"build", &ReleaseInfo::build},
            {L"channel", &ReleaseInfo::channel},     {L"status", &ReleaseInfo::status},
            {L"date", &ReleaseInfo::date},           {L"title.uk", &ReleaseInfo::titleUk},
            {L"title.en", &ReleaseInfo::titleEn},    {L"summary.uk", &ReleaseInfo::summaryUk},
            {L"summary.en", &ReleaseInfo::summaryEn},
        };
        for (const auto& [name, field] : kFields) {
            if (key == name) info.*field = value;
        }
    }
    if (info.version.empty() || info.version.size() > kMaxReleaseVersionUnits) return std::nullopt;
    for (const std::wstring* text : {&info.build, &info.channel, &info.status, &info.date, &info.titleUk,
                                     &info.titleEn, &info.summaryUk, &info.summaryEn}) {
        if (text->size() > kMaxReleaseTextUnits) return std::nullopt;
    }
    for (const ReleaseNote& note : info.notes) {
        if (note.textUk.size() > kMaxReleaseTextUnits || note.textEn.size() > kMaxReleaseTextUnits) return std::nullopt;
    }
    FillMissingLanguage(info.titleUk, info.titleEn);
    FillMissingLanguage(info.summaryUk, info.summaryEn);
    return info;
}

int CompareVersions(std::wstring_view a, std::wstring_view b) {
    for (;;) {
        bool hasA = false, hasB = false;
        const std::wstring_view partA = NextPart(a, hasA);
        const std::wstring_view partB = NextPart(b, hasB);
        if (!hasA || !hasB) return hasA == hasB ? 0 : hasA ? 1 : -1;
        if (const int c = ComparePart(partA, partB); c != 0) return c;
    }
}

fs::path FindReleasesFolder(const fs::path& executableDirectory) {
    std::error_code ec;
    fs::path dir = executableDirectory;
    for (int examined = 0; examined < 8 && !dir.empty(); ++examined) {
        const fs::path candidate = dir / "releases";
        if (fs::is_directory(candidate, ec)) return candidate;
        const fs::path parent = dir.parent_path();
        if (parent == dir) break;
        dir = parent;
    }
    return executableDirectory / "releases";
}

LocalReleaseNotesProvider::LocalReleaseNotesProvider(fs::path folder) : folder_(std::move(folder)) {
    if (!folder_.empty()) return;
    try {
        folder_ = FindReleasesFolder(distribution::ExecutableDirectory());
    } catch (...) {
        folder_ = "releases";  // no module path and no working folder: nothing will be found
    }
}

std::vector<ReleaseInfo> LocalReleaseNotesProvider::LoadHistory() const {
    struct Found {
        fs::path file;
        ReleaseInfo info;
    };
    std::vector<Found> found;
    std::error_code ec;
    fs::directory_iterator it(folder_, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& file = it->path();
        if (!EqualsIgnoringAsciiCase(file.extension().wstring(), L".release")) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        if (std::optional<ReleaseInfo> info = ParseReleaseFile(ReadSmallFile(file))) {
            found.push_back(Found{file, std::move(*info)});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const int c = CompareVersions(a.info.version, b.info.version);
        return c != 0 ? c > 0 : a.file.filename() < b.file.filename();
    });
    std::vector<ReleaseInfo> history;
    history.reserve(found.size());
    for (Found& f : found) history.push_back(std::move(f.info));
    return history;
}

}  // namespace tarvo::releases
