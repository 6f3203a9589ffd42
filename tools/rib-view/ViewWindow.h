// ViewWindow.h - rib-view's window: plays the pictures in order, at most 30 a second, and stays on
// the last; pictures read from a pipe appear as they arrive, the reading going on in a thread of
// its own while the window plays what is there. Keys: space pauses and resumes, Right and Left
// step one picture, Home goes to the first, l toggles wires, q and Esc quit.
#pragma once

#include "ViewArguments.h"

namespace ribview {

/// Opens the window and plays the inputs' pictures until the window is closed. Returns the exit
/// status: 0; 1 when the inputs, all read, had problems; 2 when there is no display, no picture,
/// or no picture of --frame's number (after one line on standard error saying so).
int runWindow(const ViewArguments &arguments);

} // namespace ribview
