#include <windows.h>

#include "shell/native_shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return tarvo::ui::RunNativeProduct(instance, showCommand, tarvo::ui::ProductKind::Game);
}
