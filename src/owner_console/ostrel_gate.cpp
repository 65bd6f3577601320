// The owner console's first screen: who this is for and its one button.
#include "owner_console/ostrel_ui.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawOstrelGate() {
    DrawTextIn(L"TARVONIX ECOSYSTEM", captionFormat.Get(), D2D1::RectF(560, 300, 1360, 340), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(L"OSTREL NODE", displayFormat.Get(), D2D1::RectF(280, 350, 1640, 460), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    FillRect(D2D1::RectF(888, 470, 1032, 473), Colors::Accent);
    DrawTextIn(Pick(L"КОНСОЛЬ ВЛАСНИКА", L"OWNER CONSOLE"), captionFormat.Get(), D2D1::RectF(560, 485, 1360, 515),
               Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(Pick(L"Керування релізами та бекендом підписується ключем власника, захищеним для цього "
                    L"користувача Windows.",
                    L"Release and backend control is signed with the owner key, protected for this Windows user."),
               bodyFormat.Get(), D2D1::RectF(460, 530, 1460, 580), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    Button(D2D1::RectF(780, 610, 1140, 678), Pick(L"ВІДКРИТИ", L"UNLOCK"), "ostrel.unlock", true, false);
    ostrel::Chip(*this, D2D1::RectF(810, 712, 1110, 746),
                 Pick(L"ДЕМО-ДАНІ ТА ТЕСТОВІ СЛУЖБИ", L"DEMO DATA AND TEST SERVICES"), Colors::Cyan);
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(760, 780, 1160, 820), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

}  // namespace tarvo::ui
