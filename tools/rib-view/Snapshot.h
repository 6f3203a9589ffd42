// Snapshot.h - rib-view without a window: the chosen picture (or every picture, when the output
// name has a %d) drawn off-screen and written as PNG.
#pragma once

#include "ViewArguments.h"

namespace ribview {

/// Reads the inputs, writes the pictures asked for and returns the exit status: 0, 1 when the
/// inputs had problems, 2 when an input or output failed or the picture asked for is not there
/// (after one line on standard error saying so).
int runSnapshot(const ViewArguments &arguments);

} // namespace ribview
