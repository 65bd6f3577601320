#include "screens/info_screens.h"

#include <cmath>
#include <cwchar>
#include <system_error>

#include "shell/native_shell.h"

namespace tarvo::ui {

void DrawChip(NativeShell& shell, D2D_RECT_F rect, std::wstring_view text, D2D1_COLOR_F color) {
    shell.FillRounded(rect, 7.0f, WithAlpha(color, 0.12f));
    shell.StrokeRounded(rect, 7.0f, WithAlpha(color, 0.48f), 1.0f);
    shell.DrawTextIn(text, shell.captionFormat.Get(), rect, color, DWRITE_TEXT_ALIGNMENT_CENTER);
}

std::wstring FormatLastCheck(const FILETIME& writeTime) {
    SYSTEMTIME utc{};
    if (!FileTimeToSystemTime(&writeTime, &utc)) return L"UNKNOWN";
    wchar_t buffer[32] = {};
    std::swprintf(buffer, 32, L"%04u-%02u-%02u %02u:%02u UTC", static_cast<unsigned>(utc.wYear),
                  static_cast<unsigned>(utc.wMonth), static_cast<unsigned>(utc.wDay), static_cast<unsigned>(utc.wHour),
                  static_cast<unsigned>(utc.wMinute));
    return buffer;
}

std::wstring LauncherLastCheckText(const std::filesystem::path& launcherLog) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(launcherLog.c_str(), GetFileExInfoStandard, &attributes)) return L"NEVER";
    return FormatLastCheck(attributes.ftLastWriteTime);
}

bool LauncherInstallActive(const std::filesystem::path& installRoot) {
    std::error_code ec;
    return std::filesystem::exists(installRoot / "current.json", ec);
}

bool SensitivityPresetChosen(float sensitivity, int preset) {
    if (preset < 0 || preset >= static_cast<int>(kSensitivityPresets.size())) return false;
    return std::fabs(sensitivity - kSensitivityPresets[static_cast<std::size_t>(preset)]) <= 0.001f;
}

std::vector<ReleaseRow> ReleaseRowLayout(std::size_t releaseCount, int expandedRelease) {
    std::vector<ReleaseRow> rows;
    float y = 175.0f;
    for (std::size_t i = 0; i < releaseCount && i < kMaxReleaseRows; ++i) {
        const bool open = expandedRelease == static_cast<int>(i);
        const float height = open ? 315.0f : 92.0f;
        rows.push_back(ReleaseRow{y, height, open});
        y += height + 12.0f;
    }
    return rows;
}

std::array<std::vector<std::size_t>, 3> ReleaseNoteColumns(const std::vector<releases::ReleaseNote>& notes) {
    std::array<std::vector<std::size_t>, 3> columns;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        int column = -1;
        switch (notes[i].category) {
            case releases::ReleaseCategory::New: column = 0; break;
            case releases::ReleaseCategory::Improved:
            case releases::ReleaseCategory::Security:
            case releases::ReleaseCategory::Tech: column = 1; break;
            case releases::ReleaseCategory::Fixed: column = 2; break;
            default: break;
        }
        if (column >= 0 && columns[static_cast<std::size_t>(column)].size() < 2) {
            columns[static_cast<std::size_t>(column)].push_back(i);
        }
    }
    return columns;
}

std::wstring GraphicsGpuText(const renderer::GraphicsSystemDiagnostics& selection,
                             const renderer::GraphicsDiagnostics& probe) {
    // The probe keeps its "not determined" placeholder when it found no adapter.
    const std::wstring& d3d11 = selection.d3d11.gpuName;
    if (!d3d11.empty() && d3d11 != renderer::D3D11Diagnostics{}.gpuName) return d3d11;
    return probe.gpuName;
}

}  // namespace tarvo::ui
