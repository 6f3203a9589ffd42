// Snapshot.h - rib-view without a window: the chosen picture (or every picture, when the output
// name has a %d) drawn off-screen and written as PNG.
#pragma once

#include <string>

#include "ViewArguments.h"

namespace ribview {

/// The line for a picture number past the input's last: "there is no picture 5: ...".
std::string noSuchPicture(int wanted, int pictures);

/// Reads the inputs, writes the pictures asked for and returns the exit status: 0, 1 when the
/// inputs had problems, 2 when an input or output failed or the picture asked for is not there
/// (after one line on standard error saying so).
int runSnapshot(const ViewArguments &arguments);

} // namespace ribview
