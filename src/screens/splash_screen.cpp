// The start-up splash: brand, a progress bar that fills in 1.7 s and keeps pulsing.
#include "screens/splash_animation.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawSplash() {
    const double t = std::chrono::duration<double>(Now() - windowCreatedAt).count();
    const float pulse = SplashPulse(t);
    DrawTextIn(L"TARVONIX", displayFormat.Get(), D2D1::RectF(280, 385, 1640, 490), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(L"VOLLEY", displayFormat.Get(), D2D1::RectF(280, 485, 1640, 590), Colors::Accent,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    FillRect(D2D1::RectF(650, 626, 1270, 630), Colors::Border);
    FillRect(D2D1::RectF(650, 626, SplashProgressRight(t), 630), WithAlpha(Colors::Accent, pulse));
    DrawTextIn(Pick(L"ІНІЦІАЛІЗАЦІЯ СИСТЕМИ", L"NATIVE SYSTEM INITIALIZATION"), captionFormat.Get(),
               D2D1::RectF(650, 655, 1270, 690), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(760, 780, 1160, 820), Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

}  // namespace tarvo::ui
