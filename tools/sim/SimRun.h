// The simulator's run: steps a world, gives the scheduled kicks and writes the states as CSV.
// Kept apart from main() so that tests can run it in-process against the World API.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tools/sim/SimOptions.h"

class World;

namespace simtool {

// Hears how far a run has got: update now and then during the run, finish once at its end.
class ProgressSink {
public:
  virtual ~ProgressSink() = default;
  virtual void update(std::uint64_t stepsTaken, std::uint64_t totalSteps) = 0;
  virtual void finish(std::uint64_t totalSteps) = 0;
};

// Receives every printed state (the same states the CSV holds), e.g. to record them as RIB frames.
class StateSink {
public:
  virtual ~StateSink() = default;
  // False when the state could not be kept (a frame's file cannot be made): the run stops.
  virtual bool state(World &world, std::uint64_t stepsTaken) = 0;
};

// The CSV header line, without the newline.
const char *csvHeader();

// Writes the header, then steps `world` options.steps times, pushing before step S+1 for every
// push with afterSteps == S, and prints the state as `options.every` asks (see SimOptions).
// Each printed state also goes to `states` when given; the run stops after a state that `states`
// could not keep. A null `out` writes no CSV. Returns false when writing to `out` failed.
bool runSimulation(World &world, const SimOptions &options, std::FILE *out, ProgressSink *progress,
                   StateSink *states = nullptr);

} // namespace simtool
