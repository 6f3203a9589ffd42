// wobblerama-sim as a program: exit statuses, what goes to which stream, reproducibility.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SimStateText.h"

namespace {

struct ToolRun {
    int exitStatus = -1;
    std::string out, err;
};

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the built program with `args`; standard error is a file, so no progress is shown.
ToolRun runProgram(const std::vector<std::string> &args)
{
    char folder[] = "/tmp/wobble-sim-test-XXXXXX";
    ToolRun run;
    if (mkdtemp(folder) == nullptr)
        return run;
    const std::string out = std::string(folder) + "/out", err = std::string(folder) + "/err";
    std::string command = std::string("'") + WOBBLERAMA_SIM_PATH + "'";
    for (const std::string &arg : args)
        command += " '" + arg + "'";  // the arguments used here hold no quote
    command += " >'" + out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    std::filesystem::remove_all(folder);
    return run;
}

TEST(SimProgram, BadArgumentsExitTwoWithOneLineAndUsageAndNoCsv)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},       {"--steps"},           {"--steps", "many"}, {"--steps", "-1"},
        {"--every", "-2"}, {"--every", "0.5"},    {"--push", "3"},     {"--push", "3:7"},
        {"--push", "a:1"}, {"--steps", "10", "x"},
    };
    for (const auto &args : cases) {
        const ToolRun run = runProgram(args);
        EXPECT_EQ(run.exitStatus, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        const std::vector<std::string> lines = splitLines(run.err);
        ASSERT_EQ(lines.size(), 2u) << run.err;
        EXPECT_EQ(lines[0].rfind("wobblerama-sim: ", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1], "usage: wobblerama-sim [--steps N] [--every K] [--push S:MODE]...");
    }
}

TEST(SimProgram, PrintsTheWorldsProgressThenTheCsvAndNothingOnStderr)
{
    const ToolRun run = runProgram({"--steps", "0"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    const World fresh;
    EXPECT_EQ(run.out, std::string(kBodyProgress) + "step,i,j,k,x,y,z,vx,vy,vz\n" +
                           stateText(fresh, 0));
}

TEST(SimProgram, KickedRunIsReproducibleAndEqualsTheWorldApi)
{
    const std::vector<std::string> args = {"--steps", "1500", "--every", "500",   "--push",
                                           "200:1",   "--push", "200:1", "--push", "900:2"};
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
        if (taken == 900)
            world.push(2);
        world.step();
        if ((taken + 1) % 500 == 0)
            expected += stateText(world, taken + 1);
    }
    EXPECT_EQ(first.out, expected);
}

}  // namespace
