// Screens whose features are not built yet draw nothing but the frame around them.
// Each screen replaces its definition here with its own file.
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawLogin() {}
void NativeShell::DrawVerifyEmail() {}
void NativeShell::DrawVerifyDevice() {}
void NativeShell::DrawForgotPassword() {}
void NativeShell::DrawResetPassword() {}
void NativeShell::DrawLinkAccount() {}
void NativeShell::DrawLinkComplete() {}
void NativeShell::DrawDevices() {}

}  // namespace tarvo::ui
