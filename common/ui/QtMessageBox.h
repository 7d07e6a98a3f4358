// The windowed front end of the platform's message boxes: a Qt dialog with the
// box's icon, text, caption and buttons in its language.
#pragma once

#include "platform/MessageBox.h"

namespace darvena::ui {

// Shows the box as a modal Qt dialog and returns the chosen button's result. Closing
// the dialog without a button answers Cancel when the box has it, else its only
// button (a Yes/No box cannot be closed that way). Needs a QApplication.
int ShowQtMessageBox(const platform::TMessageBoxRequest& request);

// Makes ShowQtMessageBox the platform's message-box front end for the rest of the
// process, when the application has a display a user can see. A windowed program
// calls it right after creating its QApplication. On the "offscreen" and "minimal"
// platforms nothing is installed and false is returned: a box nobody can see would
// wait for ever, so the terminal front end answers instead.
bool InstallQtMessageBoxes();

}  // namespace darvena::ui
