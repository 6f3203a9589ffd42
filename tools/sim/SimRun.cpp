#include "tools/sim/SimRun.h"

#include <algorithm>
#include <vector>

#include "sim/World.h"
#include "tools/sim/CsvBuffer.h"

namespace simtool {

namespace {

// How often the progress sink hears from the run; a power of two keeps the test cheap.
constexpr std::uint64_t kProgressInterval = 4096;

// One line per mass point, in lattice order (i outermost, k innermost).
void writeState(CsvBuffer &csv, const World &world, std::uint64_t step) {
  for (int i = 0; i < world.nodesX; ++i) {
    for (int j = 0; j < world.nodesY; ++j) {
      for (int k = 0; k < world.nodesZ; ++k) {
        const MassPoint &point = *world.nodes[i][j][k];
        csv.appendUnsigned(step);
        csv.appendChar(',');
        csv.appendUnsigned(static_cast<std::uint64_t>(i));
        csv.appendChar(',');
        csv.appendUnsigned(static_cast<std::uint64_t>(j));
        csv.appendChar(',');
        csv.appendUnsigned(static_cast<std::uint64_t>(k));
        const double values[6] = {point.position.x, point.position.y, point.position.z,
                                  point.velocity.x, point.velocity.y, point.velocity.z};
        for (double value : values) {
          csv.appendChar(',');
          csv.appendDouble(value);
        }
        csv.endLine();
      }
    }
  }
}

} // namespace

const char *csvHeader() { return "step,i,j,k,x,y,z,vx,vy,vz"; }

bool runSimulation(World &world, const SimOptions &options, std::FILE *out, ProgressSink *progress,
                   StateSink *states) {
  // Kicks ordered by the step before which they act; equal steps keep their command-line order.
  std::vector<Push> pushes = options.pushes;
  std::stable_sort(pushes.begin(), pushes.end(),
                   [](const Push &a, const Push &b) { return a.afterSteps < b.afterSteps; });
  auto nextPush = pushes.cbegin();

  CsvBuffer csv(out);
  // False when the state sink gave up.
  auto printState = [&](std::uint64_t step) {
    if (out != nullptr) writeState(csv, world, step);
    return states == nullptr || states->state(world, step);
  };
  if (out != nullptr) {
    csv.appendText(csvHeader());
    csv.endLine();
  }
  bool kept = options.steps != 0 || printState(0);

  for (std::uint64_t taken = 0; kept && taken < options.steps; ++taken) {
    for (; nextPush != pushes.cend() && nextPush->afterSteps == taken; ++nextPush)
      world.push(nextPush->mode);
    world.step();
    const std::uint64_t done = taken + 1;
    const bool periodic = options.every != 0 && done % options.every == 0;
    if (periodic || done == options.steps) kept = printState(done);
    if (progress != nullptr && done % kProgressInterval == 0) progress->update(done, options.steps);
  }
  if (progress != nullptr && kept) progress->finish(options.steps);
  return out == nullptr || csv.flush();
}

} // namespace simtool
