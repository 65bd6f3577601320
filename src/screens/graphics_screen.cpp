// Graphics compatibility (screen 18), shown when no render backend could start:
// the last selection in five rows, its message, and the copy and back buttons.
#include "screens/info_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawGraphicsCompatibility() {
    TopBrand(Pick(L"ГРАФІЧНА СУМІСНІСТЬ", L"GRAPHICS COMPATIBILITY"));
    Card(D2D1::RectF(315, 165, 1605, 875));
    DrawTextIn(Pick(L"НЕ ВДАЛОСЯ ЗАПУСТИТИ ГРАФІЧНИЙ МОДУЛЬ TARVONIX VOLLEY.",
                    L"TARVONIX VOLLEY GRAPHICS MODULE COULD NOT START."),
               headingFormat.Get(), D2D1::RectF(380, 215, 1540, 285), Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);

    const renderer::GraphicsSystemDiagnostics& selection = graphicsSelection;
    const std::wstring gpu = GraphicsGpuText(selection, graphicsDiagnostics);
    const std::wstring_view rows[5][2] = {
        {L"GPU", gpu},
        {L"VULKAN", selection.graphics.usable ? L"READY" : L"UNSUPPORTED"},
        {L"DIRECT3D 11", selection.d3d11.ready ? L"READY" : L"UNSUPPORTED"},
        {Pick(L"ОБРАНИЙ RENDERER", L"SELECTED RENDERER"), renderer::RendererSelection::Name(selection.selected)},
        {L"TARVONIX 3D", selection.usable ? L"READY" : L"BLOCKED"},
    };
    for (int i = 0; i < 5; ++i) {
        const float line = 320.0f + 70.0f * static_cast<float>(i);
        DrawTextIn(rows[i][0], captionFormat.Get(), D2D1::RectF(405, line, 735, line + 30), Colors::Muted);
        DrawTextIn(rows[i][1], bodyFormat.Get(), D2D1::RectF(740, line - 10, 1510, line + 42), Colors::Text);
        DrawLine(D2D1::Point2F(405, line + 48), D2D1::Point2F(1510, line + 48), WithAlpha(Colors::Border, 0.8f), 1.0f);
    }

    DrawTextIn(selection.message, bodyFormat.Get(), D2D1::RectF(405, 665, 1510, 725), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    Button(D2D1::RectF(405, 755, 940, 825), Pick(L"СКОПІЮВАТИ ДІАГНОСТИКУ", L"COPY DIAGNOSTICS"), "graphics.copy", true, false);
    Button(D2D1::RectF(975, 755, 1510, 825), Pick(L"НАЗАД", L"BACK"), "graphics.back", false, false);
}

}  // namespace tarvo::ui
