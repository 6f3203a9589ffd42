// wobblerama-sim as a program: exit statuses, what goes to which stream, reproducibility.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "SimStateText.h"
#include "ToolRunning.h"

namespace {

// Runs the built program with `args`; standard error is a file, so no progress is shown.
ToolRun runProgram(const std::vector<std::string> &args) {
  const TempFolder folder("wobble-sim-test");
  if (folder.dir().empty()) return ToolRun();
  return runCaptured(quotedCommand(WOBBLERAMA_SIM_PATH, args) + " </dev/null", folder.path("out"),
                     folder.path("err"));
}

// Runs the program with standard error on a pseudo-terminal and returns what the terminal
// received; standard output goes to `outPath`.
std::string runWithTerminalStderr(const std::vector<std::string> &args,
                                  const std::string &outPath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "(no pseudo-terminal)";
  const std::string slavePath = ptsname(master);
  std::vector<std::string> argvText = {WOBBLERAMA_SIM_PATH};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &arg : argvText) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (slave < 0 || out < 0) _exit(127);
    dup2(slave, STDERR_FILENO);
    dup2(out, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  // Read until the program has ended and the terminal has nothing more, within a bound.
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  bool ended = false;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd pending = {master, POLLIN, 0};
    if (poll(&pending, 1, 20) > 0 && (pending.revents & POLLIN) != 0) {
      char buffer[256];
      const ssize_t got = read(master, buffer, sizeof buffer);
      if (got > 0) {
        received.append(buffer, static_cast<std::size_t>(got));
        continue;
      }
    }
    if (ended) break;
    ended = waitpid(child, &status, WNOHANG) == child;
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  close(master);
  return received;
}

TEST(SimProgram, ShowsProgressOnlyWhenStderrIsATerminal) {
  const TempFolder folder("wobble-sim-test");
  ASSERT_FALSE(folder.dir().empty());
  const std::vector<std::string> args = {"--steps", "20000", "--every", "5000"};
  const std::string terminal = runWithTerminalStderr(args, folder.path("out"));
  const std::string csv = slurp(folder.path("out"));

  // A line that rewrites itself and ends on the final count; the CSV is unaffected.
  EXPECT_EQ(terminal.rfind("\rwobblerama-sim: step ", 0), 0u) << terminal;
  const std::string ending = "\rwobblerama-sim: step 20000 of 20000";
  EXPECT_NE(terminal.find(ending), std::string::npos) << terminal;
  const ToolRun plain = runProgram(args);
  EXPECT_EQ(plain.err, "");
  EXPECT_EQ(csv, plain.out);
}

TEST(SimProgram, BadArgumentsExitTwoWithOneLineAndUsageAndNoCsv) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus"},
      {"--steps"},
      {"--steps", "many"},
      {"--steps", "-1"},
      {"--every", "-2"},
      {"--every", "0.5"},
      {"--push", "3"},
      {"--push", "3:7"},
      {"--push", "a:1"},
      {"--steps", "10", "x"},
      {"--rib-binary"},
      {"--rib-compact"},
      {"--rib", "x.rib", "--rib-binary", "--rib-compact"},
      {"--rib", ""},
      {"--rib", "/nonexistent-directory/scene.rib"},
      {"--rib", "/nonexistent-directory/scene.%04d.rib"},
      {"--first-frame", "2"},
      {"--rib", "x.rib", "--first-frame", "-1"},
  };
  for (const auto &args : cases) {
    const ToolRun run = runProgram(args);
    EXPECT_EQ(run.exitStatus, 2) << args[0];
    EXPECT_EQ(run.out, "") << args[0];
    const std::vector<std::string> lines = splitLines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[0].rfind("wobblerama-sim: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "usage: wobblerama-sim [--steps N] [--every K] [--push S:MODE]... "
                        "[--rib FILE [--rib-binary | --rib-compact] [--first-frame N]]");
  }
}

TEST(SimProgram, PrintsTheWorldsProgressThenTheCsvAndNothingOnStderr) {
  const ToolRun run = runProgram({"--steps", "0"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.err, "");
  const World fresh;
  EXPECT_EQ(run.out,
            std::string(kBodyProgress) + "step,i,j,k,x,y,z,vx,vy,vz\n" + stateText(fresh, 0));
}

TEST(SimProgram, KickedRunIsReproducibleAndEqualsTheWorldApi) {
  const std::vector<std::string> args = {"--steps", "1500",   "--every", "500",    "--push",
                                         "200:1",   "--push", "200:1",   "--push", "900:2"};
  const ToolRun first = runProgram(args);
  const ToolRun second = runProgram(args);
  ASSERT_EQ(first.exitStatus, 0) << first.err;
  EXPECT_EQ(first.out, second.out);

  World world;
  std::string expected = std::string(kBodyProgress) + "step,i,j,k,x,y,z,vx,vy,vz\n";
  for (std::uint64_t taken = 0; taken < 1500; ++taken) {
    if (taken == 200) {
      world.push(1);
      world.push(1);
    }
    if (taken == 900) world.push(2);
    world.step();
    if ((taken + 1) % 500 == 0) expected += stateText(world, taken + 1);
  }
  EXPECT_EQ(first.out, expected);
}

} // namespace
