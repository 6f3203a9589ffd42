// wobblerama-sim under Node.js: the demo's world stepped without a window, printing what the
// native simulator prints for the same arguments: the construction lines, then the CSV with the
// same numbers to the last bit. It records no RIB (the page does, in the browser).
#include <cstdio>

#include "sim/World.h"
#include "tools/sim/SimOptions.h"
#include "tools/sim/SimRun.h"

namespace {

int badArgument(const char *problem) {
  std::fprintf(stderr, "wobblerama-sim: %s\n%s\n", problem, simtool::simUsage());
  return 2;
}

} // namespace

int main(int argc, char **argv) {
  const simtool::ParseResult parsed = simtool::parseSimOptions(argc, argv);
  if (!parsed.error.empty()) return badArgument(parsed.error.c_str());
  const simtool::SimOptions &options = parsed.options;
  if (options.help) {
    std::printf("%s\n%s", simtool::simUsage(), simtool::simHelp());
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", simtool::simVersion());
    return 0;
  }
  if (!options.ribTarget.empty())
    return badArgument("--rib: RIB recording is not part of the web build");

  World world;
  if (!simtool::runSimulation(world, options, stdout, nullptr)) {
    std::fprintf(stderr, "wobblerama-sim: could not write the state to standard output\n");
    return 1;
  }
  return 0;
}
