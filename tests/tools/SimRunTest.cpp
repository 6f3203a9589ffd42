#include "tools/sim/SimRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "SimStateText.h"

namespace {

using simtool::Push;
using simtool::SimOptions;

// Runs the simulator in-process on a fresh world and returns its CSV.
std::string runTool(const SimOptions &options) {
  World world;
  char *data = nullptr;
  std::size_t size = 0;
  std::FILE *out = open_memstream(&data, &size);
  EXPECT_TRUE(simtool::runSimulation(world, options, out, nullptr));
  std::fclose(out);
  std::string text(data, size);
  std::free(data);
  return text;
}

SimOptions options(std::uint64_t steps, std::uint64_t every, std::vector<Push> pushes = {}) {
  SimOptions result;
  result.steps = steps;
  result.every = every;
  result.pushes = std::move(pushes);
  return result;
}

// The step numbers of the printed states, in output order, each state checked to be complete.
std::vector<std::uint64_t> printedSteps(const std::string &csv) {
  const std::vector<std::string> lines = splitLines(csv);
  EXPECT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "step,i,j,k,x,y,z,vx,vy,vz");
  EXPECT_EQ((lines.size() - 1) % 42, 0u);
  std::vector<std::uint64_t> steps;
  for (std::size_t n = 1; n < lines.size(); n += 42)
    steps.push_back(std::strtoull(lines[n].c_str(), nullptr, 10));
  return steps;
}

TEST(SimRun, EveryPrintsItsMultiplesAndTheFinalStateOnce) {
  EXPECT_EQ(printedSteps(runTool(options(7, 0))), (std::vector<std::uint64_t>{7}));
  EXPECT_EQ(printedSteps(runTool(options(7, 2))), (std::vector<std::uint64_t>{2, 4, 6, 7}));
  EXPECT_EQ(printedSteps(runTool(options(6, 2))), (std::vector<std::uint64_t>{2, 4, 6}));
  EXPECT_EQ(printedSteps(runTool(options(3, 10))), (std::vector<std::uint64_t>{3}));
  EXPECT_EQ(printedSteps(runTool(options(3, 1))), (std::vector<std::uint64_t>{1, 2, 3}));
}

TEST(SimRun, ZeroStepsPrintTheInitialStateOnce) {
  const World fresh;
  EXPECT_EQ(runTool(options(0, 0)),
            std::string("step,i,j,k,x,y,z,vx,vy,vz\n") + stateText(fresh, 0));
  EXPECT_EQ(printedSteps(runTool(options(0, 5))), (std::vector<std::uint64_t>{0}));
}

TEST(SimRun, StatesEqualTheWorldSteppedThroughItsApi) {
  World world;
  std::string expected = "step,i,j,k,x,y,z,vx,vy,vz\n";
  for (std::uint64_t taken = 1; taken <= 300; ++taken) {
    world.step();
    if (taken % 100 == 0) expected += stateText(world, taken);
  }
  EXPECT_EQ(runTool(options(300, 100)), expected);
}

TEST(SimRun, PushesActBeforeTheNextStepAndAddUp) {
  // Two left kicks and a right kick before step 4, a lift before the first step, and kicks at
  // and beyond the end, which have no effect.
  const std::vector<Push> pushes = {{3, 0}, {0, 2}, {3, 1}, {3, 0}, {60, 2}, {99, 1}};
  World world;
  world.push(2);
  for (std::uint64_t taken = 0; taken < 60; ++taken) {
    if (taken == 3) {
      world.push(0);
      world.push(1);
      world.push(0);
    }
    world.step();
  }
  const std::string expected = "step,i,j,k,x,y,z,vx,vy,vz\n" + stateText(world, 60);
  const std::string withPushes = runTool(options(60, 0, pushes));
  EXPECT_EQ(withPushes, expected);
  EXPECT_NE(withPushes, runTool(options(60, 0)));
}

} // namespace
