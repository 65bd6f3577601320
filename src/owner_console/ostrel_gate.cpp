// The owner console's first screen and, until its pages exist, the bare frame of
// the others.
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawOstrelGate() {
    DrawTextIn(L"TARVONIX ECOSYSTEM", captionFormat.Get(), D2D1::RectF(560, 330, 1360, 370), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(L"OSTREL NODE", displayFormat.Get(), D2D1::RectF(280, 380, 1640, 490), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    FillRect(D2D1::RectF(888, 500, 1032, 503), Colors::Accent);
    DrawTextIn(L"OWNER CONSOLE", captionFormat.Get(), D2D1::RectF(560, 515, 1360, 545), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    Button(D2D1::RectF(780, 600, 1140, 668), L"UNLOCK", "ostrel.unlock", true, false);
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(760, 780, 1160, 820), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

void NativeShell::DrawOstrelShell() {
    FillRect(D2D1::RectF(0, 7, 320, 1080), Colors::Surface);
    DrawLine(D2D1::Point2F(320, 7), D2D1::Point2F(320, 1080), Colors::Border, 1.0f);
    DrawTextIn(L"OSTREL NODE", headingFormat.Get(), D2D1::RectF(40, 38, 300, 92), Colors::Text);
    FillRect(D2D1::RectF(40, 92, 183, 95), Colors::Accent);
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(40, 1030, 300, 1060), Colors::Muted);
}

}  // namespace tarvo::ui
