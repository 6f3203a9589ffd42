#include "tools/sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using simtool::ParseResult;
using simtool::parseSimOptions;

ParseResult parse(std::vector<std::string> args) {
  args.insert(args.begin(), "wobblerama-sim");
  std::vector<const char *> argv;
  for (const std::string &arg : args) argv.push_back(arg.c_str());
  return parseSimOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(SimOptions, DefaultsAreAThousandStepsFinalStateOnlyNoPushes) {
  const ParseResult result = parse({});
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.options.steps, 1000u);
  EXPECT_EQ(result.options.every, 0u);
  EXPECT_TRUE(result.options.pushes.empty());
  EXPECT_FALSE(result.options.help);
}

TEST(SimOptions, ReadsValuesAfterSpaceOrEqualsAndKeepsPushOrder) {
  const ParseResult result =
      parse({"--steps", "250", "--every=10", "--push", "0:2", "--push=40:0", "--push", "0:1"});
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.steps, 250u);
  EXPECT_EQ(result.options.every, 10u);
  ASSERT_EQ(result.options.pushes.size(), 3u);
  EXPECT_EQ(result.options.pushes[0].afterSteps, 0u);
  EXPECT_EQ(result.options.pushes[0].mode, 2);
  EXPECT_EQ(result.options.pushes[1].afterSteps, 40u);
  EXPECT_EQ(result.options.pushes[1].mode, 0);
  EXPECT_EQ(result.options.pushes[2].mode, 1);
}

TEST(SimOptions, AcceptsZeroAndTheLargestCount) {
  const ParseResult result = parse(
      {"--steps", "0", "--every", "18446744073709551615", "--push", "18446744073709551615:0"});
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.steps, 0u);
  EXPECT_EQ(result.options.every, 18446744073709551615u);
}

TEST(SimOptions, NamesTheProblemOfEachBadArgument) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"--frames", "3"}, "unknown option '--frames'"},
      {{"stray"}, "unknown option 'stray'"},
      {{"-s"}, "unknown option '-s'"},
      {{"--steps"}, "option --steps needs a value"},
      {{"--push"}, "option --push needs a value"},
      {{"--steps", "ten"}, "value 'ten' of --steps is not a whole number"},
      {{"--steps", "-5"}, "value '-5' of --steps must not be negative"},
      {{"--steps", "+5"}, "value '+5' of --steps is not a whole number"},
      {{"--every", "2.5"}, "value '2.5' of --every is not a whole number"},
      {{"--every="}, "value '' of --every is empty"},
      {{"--steps", "18446744073709551616"}, "value '18446744073709551616' of --steps is too large"},
      {{"--push", "12"}, "value '12' of --push is not of the form S:MODE"},
      {{"--push", "5:3"}, "mode '3' of --push is not 0, 1 or 2"},
      {{"--push", "5:"}, "mode '' of --push is not 0, 1 or 2"},
      {{"--push", "5:-1"}, "mode '-1' of --push is not 0, 1 or 2"},
      {{"--push", "-1:0"}, "step '-1' of --push must not be negative"},
      {{"--push", "x:0"}, "step 'x' of --push is not a whole number"},
      {{"--rib", "f.%5.2f"},
       "--rib file name 'f.%5.2f' has the conversion '%5.2f'; a frame "
       "number is written with %d"},
      {{"--rib", "f", "--first-frame", "2147483648"},
       "value '2147483648' of --first-frame is too large"},
      {{"--steps", "9", "--every", "3", "--rib", "f", "--first-frame", "2147483646"},
       "the recorded frames would be numbered past 2147483647 (--first-frame 2147483646, 3 "
       "frames)"},
  };
  for (const auto &c : cases) {
    const ParseResult result = parse(c.args);
    EXPECT_EQ(result.error, c.error) << c.args[0];
    EXPECT_EQ(result.error.find('\n'), std::string::npos);
  }
}

TEST(SimOptions, RibFileNameIsAFramePatternOnlyForFiles) {
  const ParseResult result = parse({"--rib", "a%%b.%-+3.2d.rib", "--first-frame", "7"});
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.ribFiles.fileName(result.options.firstFrame), "a%b.+07.rib");
  // '%' means nothing to the recording in a command.
  EXPECT_FALSE(parse({"--rib", "|date +%s%d > x"}).options.ribFiles.perFrame());
}

TEST(SimOptions, StopsAtTheFirstProblem) {
  EXPECT_EQ(parse({"--bad", "--steps", "x"}).error, "unknown option '--bad'");
}

} // namespace
