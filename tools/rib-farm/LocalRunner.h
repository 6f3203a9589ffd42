// Rendering on this machine: the run's frame script once per frame, at most `jobs` processes at
// once, then its video script. An interruption (Ctrl-C) stops the processes still running.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/rib-farm/ProgressLine.h"
#include "tools/rib-farm/RunFolder.h"

namespace farm {

// Runs frames.sh for frames 0 .. count-1 (written with a stride of `count`), at most `jobs` at
// once. Returns each frame process's wait status (-1 for one that could not start).
std::vector<int> renderLocally(const RunFolder &run, std::size_t count, unsigned jobs,
                               ProgressLine &progress);

// Runs video.sh to its end; returns its wait status, or -1.
int joinVideoLocally(const RunFolder &run);

} // namespace farm
