// The terminal message-box front end, used when the program installed no other.
#pragma once

#include "platform/MessageBox.h"

namespace platform {

// With standard input on a terminal: writes the box to standard error and asks for a
// button by number, by label or by its English name (Enter takes the default; end of
// input takes Cancel when the box has it, else the default). Otherwise writes the box
// to standard error and answers its default button without waiting.
int ShowTerminalMessageBox(const TMessageBoxRequest& request);

}  // namespace platform
