// Least definitions of the shell operations whose features are not built yet, so
// the program links and runs: account requests are not sent, no gameplay session
// starts, and the commands of those features are ignored. Each feature replaces
// its definitions here with its own file.
#include "gameplay/training_simulation.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

}  // namespace tarvo::ui
