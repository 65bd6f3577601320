// Screens whose features are not built yet draw nothing but the frame around them.
// Each screen replaces its definition here with its own file.
#include "shell/native_shell.h"

namespace tarvo::ui {


}  // namespace tarvo::ui
