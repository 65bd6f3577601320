// Pointer to canvas, the region under it, hover, caret placement on a field click,
// and the fixed rows of the pause view.
#include <algorithm>

#include "gameplay/training_simulation.h"
#include "screens/field_text_geometry.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

using navigation::ScreenId;

D2D1_POINT_2F NativeShell::CanvasPoint(int x, int y) const {
    CanvasTransform transform;
    transform.scale = canvasScale;
    transform.offset = canvasOffset;
    return MapToCanvas(transform, static_cast<float>(x), static_cast<float>(y));
}

void NativeShell::OnMouseMove(int x, int y) {
    const HitRegion* region = FindHitRegion(hitRegions, CanvasPoint(x, y));
    std::string candidate = region ? region->command : std::string();
    if (candidate == hoverCommand) return;
    hoverCommand = std::move(candidate);
    SetCursor(LoadCursorW(nullptr, hoverCommand.empty() ? IDC_ARROW : IDC_HAND));
    if (window) InvalidateRect(window, nullptr, FALSE);
}

size_t NativeShell::CaretFromClick(const HitRegion& region, D2D1_POINT_2F point) {
    const std::string& key = region.command;
    std::wstring text = fieldValues[key];
    float inset = 16.0f;
    if (IsPasswordField(key)) {
        inset = 66.0f;
        // The caret lands on what the field shows: one bullet per unit while masked.
        if (!revealedFields[key]) text.assign(text.size(), L'\u2022');
    }
    const D2D_RECT_F& r = region.rect;
    const D2D_RECT_F box{r.left + 18.0f, r.top + 24.0f, r.right - inset, r.bottom - 5.0f};
    if (!dwriteFactory || !bodyFormat) return text.size();
    bodyFormat->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
    bodyFormat->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    const FieldTextGeometry geometry(dwriteFactory.Get(), bodyFormat.Get(), text, box.right - box.left,
                                     box.bottom - box.top);
    if (!geometry.Valid()) return text.size();
    // The same scroll the last paint drew the value with.
    const float scroll = focusedField == key ? geometry.ScrollFor(std::min(caret, text.size())) : 0.0f;
    return SnapToCaretStop(fieldValues[key], geometry.PositionAt(point.x - box.left + scroll, point.y - box.top));
}

void NativeShell::OnClick(int x, int y) {
    const D2D1_POINT_2F point = CanvasPoint(x, y);
    lastClickPoint = point;
    const HitRegion* region = FindHitRegion(hitRegions, point);
    if (!region) {
        focusedField.clear();
        return;
    }
    const std::string command = region->command;
    if (command.rfind("field.", 0) == 0) {
        caret = CaretFromClick(*region, point);
        if ((GetKeyState(VK_SHIFT) & 0x8000) == 0) selectionAnchor = caret;
    }
    Dispatch(command);
}

void NativeShell::OnPauseClick(int x, int y) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (shopOpen) {
        const int item = ArsenalRowAt(width, height, x, y);
        if (item >= 0) matchClient.Buy(item);
        return;
    }
    switch (PauseMenuRowAt(width, height, x, y)) {
        case 0:
            menuOpen = false;
            router.Navigate(ScreenId::Gameplay);
            CaptureGameplayCursor();
            lastFrameAt = Now();
            break;
        case 1:
            if (!simulation) break;
            if (onlineMatch) {
                shopOpen = true;
                fireRequested = reloadRequested = fireHeld = aimHeld = false;
            } else {
                simulation->Restart();
                FlushGameplayEvents();
            }
            break;
        case 2:
            settingsReturnScreen = ScreenId::Pause;
            if (renderView) ShowWindow(renderView, SW_HIDE);
            Navigate(ScreenId::Settings);
            break;
        case 3:
            StopGameplay(true);
            break;
        default:
            break;
    }
}

}  // namespace tarvo::ui
