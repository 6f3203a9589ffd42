// Reading RIB as a program that installed the library does it, through rib/RibRead.h alone: a
// filter reads ASCII and binary RIB and writes it again with its own change; problems are counted
// and reported in lines; a file that cannot be read is -1.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "rib/RibRead.h"

namespace {

// Every surface becomes "matte"; whatever form the caller used.
struct Matte : rib::ForwardingContext {
  using ForwardingContext::ForwardingContext;
  RtVoid SurfaceV(RtToken, RtInt, RtToken[], RtPointer[]) override {
    static char matte[] = "matte";
    ForwardingContext::SurfaceV(matte, 0, nullptr, nullptr);
  }
};

const std::string kScene = WOBBLE_SOURCE_DIR "/examples/simple_scene.rib.golden";

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string scratch(const char *stem) {
  return std::string(::testing::TempDir()) + stem + "_" + std::to_string(getpid()) + ".rib";
}

// The scene as the filter must write it: its one plastic surface made matte.
std::string matteScene() {
  std::string scene = slurp(kScene);
  const size_t at = scene.find("Surface \"plastic\"");
  const size_t end = scene.find('\n', at);
  return scene.replace(at, end - at, "Surface \"matte\"");
}

// Runs `read` with a context writing to `path` (binary float arrays when asked); its result.
int readInto(const std::string &path, bool binary, int (*read)(RiContext &)) {
  RtToken format[] = {const_cast<char *>(binary ? "binary" : "ascii")};
  RiOption(const_cast<char *>("rib"), "format", format, RI_NULL);
  RiContext *out = static_cast<RiContext *>(RiBegin(const_cast<char *>(path.c_str())));
  const int problems = read(*out);
  RiEnd();
  format[0] = const_cast<char *>("ascii");
  RiOption(const_cast<char *>("rib"), "format", format, RI_NULL);
  return problems;
}

std::string gBinaryPath;

TEST(RibRead, AFilterWritesAsciiAndBinaryRibWithItsOwnChange) {
  const std::string binary = scratch("scene_binary"), fromAscii = scratch("matte_ascii"),
                    fromBinary = scratch("matte_binary"), fromMemory = scratch("matte_memory");
  EXPECT_EQ(
      readInto(binary, true, [](RiContext &out) { return rib::readRib(kScene.c_str(), out); }), 0);
  EXPECT_NE(slurp(binary), slurp(kScene)); // the arrays are binary now
  EXPECT_EQ(readInto(fromAscii, false,
                     [](RiContext &out) {
                       Matte filter(out);
                       return rib::readRib(kScene.c_str(), filter);
                     }),
            0);
  gBinaryPath = binary;
  EXPECT_EQ(readInto(fromBinary, false,
                     [](RiContext &out) {
                       Matte filter(out);
                       FILE *file = std::fopen(gBinaryPath.c_str(), "rb");
                       const int problems = rib::readRib(file, "scene_binary.rib", filter);
                       std::fclose(file);
                       return problems;
                     }),
            0);
  EXPECT_EQ(readInto(fromMemory, false,
                     [](RiContext &out) {
                       Matte filter(out);
                       const std::string scene = slurp(kScene);
                       return rib::readRib(scene.data(), scene.size(), "scene.rib", filter);
                     }),
            0);
  const std::string expected = matteScene();
  EXPECT_EQ(slurp(fromAscii), expected);
  EXPECT_EQ(slurp(fromBinary), expected);
  EXPECT_EQ(slurp(fromMemory), expected);
  for (const std::string &path : {binary, fromAscii, fromBinary, fromMemory})
    std::remove(path.c_str());
}

TEST(RibRead, TheListGatheringFormReachesTheFilteredWritingForm) {
  const std::string path = scratch("matte_call");
  readInto(path, false, [](RiContext &out) {
    Matte filter(out);
    RtFloat kd = 0.7f;
    filter.Surface(const_cast<char *>("plastic"), const_cast<char *>("Kd"), &kd, RI_NULL);
    filter.Sphere(1, -1, 1, 360, RI_NULL);
    return 0;
  });
  EXPECT_EQ(slurp(path), "##RenderMan RIB-Structure 1.0\nversion 3.03\nSurface \"matte\"\n"
                         "Sphere 1 -1 1 360\n\n");
  std::remove(path.c_str());
}

// Problems and unreadable files, seen from outside: a child process reads, its standard error is
// a file and its exit status the count.
struct ChildRead {
  int status = -1;
  std::string said;
};

ChildRead readInChild(const std::string &path, const std::string &input) {
  const std::string inputPath = scratch("child_input"), errPath = scratch("child_err");
  std::ofstream(inputPath, std::ios::binary) << input;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(errPath.c_str(), "w", stderr)) _exit(126);
    RiContext *out = static_cast<RiContext *>(RiBegin(const_cast<char *>("/dev/null")));
    const int problems = rib::readRib(path.empty() ? inputPath.c_str() : path.c_str(), *out);
    RiEnd();
    std::fflush(nullptr);
    _exit(problems < 0 ? 255 : problems);
  }
  int status = 0;
  ChildRead run;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.said = slurp(errPath);
  std::remove(inputPath.c_str());
  std::remove(errPath.c_str());
  return run;
}

TEST(RibRead, ProblemsAreCountedAndReportedOneLineEach) {
  // The reader's and the dispatch's problems alike, each at its line; the requests around them
  // are made as usual. A note (an undeclared parameter, kept) goes out the same way and is not
  // counted.
  const ChildRead bad = readInChild("", "WorldBegin\nSphere 1 -1 1\nSurface \"plastic\" \"Kq\" 1\n"
                                        "Polygon \"P\" [0 0 0 1 1 1 2 2 2]\n[1\nWorldEnd\n");
  EXPECT_EQ(bad.status, 2);
  const std::string name = scratch("child_input");
  EXPECT_EQ(bad.said, name + ":2: Sphere: argument 4 (a number) is missing\n" + name +
                          ":3: note: Surface: parameter \"Kq\" is not declared; its values are "
                          "kept as given\n" +
                          name + ":5: unterminated array: no ']' before the next request\n")
      << bad.said;

  const ChildRead missing = readInChild("/nonexistent/scene.rib", "");
  EXPECT_EQ(missing.status, 255);
  EXPECT_EQ(missing.said, "cannot read '/nonexistent/scene.rib': No such file or directory\n");
}

} // namespace
