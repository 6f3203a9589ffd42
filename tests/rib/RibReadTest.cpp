// Reading RIB as a program that installed the library does it, through rib/RibRead.h alone: a
// filter reads ASCII and binary RIB and writes it again with its own change; problems are counted
// and reported in lines; a file that cannot be read is -1.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
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

int plainRead(const char *path, RiContext &out) { return rib::readRib(path, out); }

// `read` reads the input at `path` into `out`, a context writing to `written` ("/dev/null": none).
ChildRead readInChild(const std::string &path, const std::string &input,
                      int (*read)(const char *path, RiContext &out) = plainRead,
                      const std::string &written = "/dev/null") {
  const std::string inputPath = scratch("child_input"), errPath = scratch("child_err");
  std::ofstream(inputPath, std::ios::binary) << input;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(errPath.c_str(), "w", stderr)) _exit(126);
    RiContext *out = static_cast<RiContext *>(RiBegin(const_cast<char *>(written.c_str())));
    const int problems = read(path.empty() ? inputPath.c_str() : path.c_str(), *out);
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

// Throws from every sphere, after the input has opened blocks, declared "Kd" anew and changed the
// basis.
struct NoSpheres : rib::ForwardingContext {
  using ForwardingContext::ForwardingContext;
  RtVoid SphereV(RtFloat, RtFloat, RtFloat, RtFloat, RtInt, RtToken[], RtPointer[]) override {
    throw std::runtime_error("no spheres here");
  }
};

TEST(RibRead, AnExceptionFromAFilterReachesTheCallerAndLeavesNothingBehind) {
  const std::string path = scratch("thrown"), throwing = scratch("throwing_input");
  std::ofstream(throwing) << "WorldBegin\nDeclare \"Kd\" \"color\"\nBasis \"b-spline\" 1 "
                             "\"b-spline\" 1\nAttributeBegin\nSphere 1 -1 1 360\n";
  const std::string clean = "WorldBegin\nSurface \"plastic\" \"Kd\" [0.5]\nWorldEnd\n";
  RiContext *out = static_cast<RiContext *>(RiBegin(const_cast<char *>(path.c_str())));
  NoSpheres filter(*out);
  rib::RibReadSession session(filter);
  EXPECT_THROW(session.read(throwing.c_str()), std::runtime_error);
  EXPECT_EQ(session.read(clean.data(), clean.size(), "clean.rib"), 0); // the same session
  EXPECT_THROW(rib::readRib(throwing.c_str(), filter), std::runtime_error);
  EXPECT_EQ(rib::readRib(clean.data(), clean.size(), "clean.rib", filter), 0);
  RiEnd();
  // Each thrown input's "Kd" is declared back at once; the basis stays as the writer was given it.
  const std::string thrown = "WorldBegin\nDeclare \"Kd\" \"color\"\nBasis \"b-spline\" 1 "
                             "\"b-spline\" 1\nAttributeBegin\nDeclare \"Kd\" \"uniform float\"\n";
  EXPECT_EQ(slurp(path), "##RenderMan RIB-Structure 1.0\nversion 3.03\n" + thrown + clean + thrown +
                             clean + "\n");
  std::remove(path.c_str());
  std::remove(throwing.c_str());
}

// Passes every basis on as b-spline: a bezier patch mesh read after it has far fewer varying
// values than the writer then reads. And it counts one polygon more than there are.
struct BSplineOnly : rib::ForwardingContext {
  using ForwardingContext::ForwardingContext;
  RtVoid Basis(RtBasis, RtInt, RtBasis, RtInt) override {
    target().Basis(RiBSplineBasis, 1, RiBSplineBasis, 1);
  }
  RtVoid PointsPolygonsV(RtInt npolys, RtInt nverts[], RtInt verts[], RtInt n, RtToken tokens[],
                         RtPointer values[]) override {
    target().PointsPolygonsV(npolys + 1, nverts, verts, n, tokens, values);
  }
};

TEST(RibRead, AContextNeverReadsPastTheValuesAReadingGaveIt) {
  // 7 by 7 points: a bezier mesh has 9 corners' colours, a b-spline one 25.
  std::string mesh = "Basis \"bezier\" 3 \"bezier\" 3\nPatchMesh \"bicubic\" 7 \"nonperiodic\" 7 "
                     "\"nonperiodic\" \"P\" [";
  for (int i = 0; i < 49 * 3; ++i) mesh += " 0";
  mesh += "] \"Cs\" [";
  for (int i = 0; i < 9 * 3; ++i) mesh += " 1";
  mesh += "]\nPointsPolygons [3] [0 1 2] \"P\" [0 0 0 1 0 0 0 1 0]\nSphere 1 -1 1 360\n";
  const std::string written = scratch("past_values");
  const ChildRead run = readInChild(
      "", mesh,
      [](const char *input, RiContext &out) {
        BSplineOnly filter(out);
        return rib::readRib(input, filter);
      },
      written);
  const std::string name = scratch("child_input");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.said,
            name +
                ":2: RiPatchMesh would read past the values it was given; the request is left "
                "out\n" +
                name +
                ":3: RiPointsPolygons would read past the values it was given in "
                "nvertices; the request is left out\n");
  EXPECT_EQ(slurp(written), "##RenderMan RIB-Structure 1.0\nversion 3.03\nBasis \"b-spline\" 1 "
                            "\"b-spline\" 1\nSphere 1 -1 1 360\n\n");
  std::remove(written.c_str());
}

// Reads each archive into its own stream, in place of the ReadArchive request.
struct Inline : rib::ForwardingContext {
  using ForwardingContext::ForwardingContext;
  RtVoid ReadArchiveV(RtToken name, RtArchiveCallback, RtInt, RtToken[], RtPointer[]) override {
    rib::readRib(name, *this);
  }
};

TEST(RibRead, AnArchiveReadIntoTheStreamKeepsTheStreamsDeclarations) {
  const std::string archive = scratch("archive"), path = scratch("inlined");
  std::ofstream(archive) << "Surface \"plastic\" \"Kd\" [0.5]\nDeclare \"Ks\" \"color\"\n"
                            "Surface \"s\" \"Ks\" [1 1 1]\n";
  const std::string main = "Declare \"Kd\" \"color\"\nReadArchive \"" + archive +
                           "\"\nSurface \"plastic\" \"Kd\" [1 0 0] \"Ks\" [0.5]\n";
  RiContext *out = static_cast<RiContext *>(RiBegin(const_cast<char *>(path.c_str())));
  Inline filter(*out);
  EXPECT_EQ(rib::readRib(main.data(), main.size(), "main.rib", filter), 0);
  RiEnd();
  const std::string body = "Declare \"Kd\" \"color\"\nDeclare \"Kd\" \"uniform float\"\n"
                           "Surface \"plastic\" \"Kd\" [0.5]\nDeclare \"Ks\" \"color\"\n"
                           "Surface \"s\" \"Ks\" [1 1 1]\nDeclare \"Kd\" \"uniform color\"\n"
                           "Declare \"Ks\" \"uniform float\"\n"
                           "Surface \"plastic\" \"Kd\" [1 0 0] \"Ks\" [0.5]\n";
  const std::string stream = slurp(path);
  EXPECT_EQ(stream, "##RenderMan RIB-Structure 1.0\nversion 3.03\n" + body + "\n");
  // And the stream reads back clean, as one.
  RiContext *check = static_cast<RiContext *>(RiBegin(const_cast<char *>("/dev/null")));
  EXPECT_EQ(rib::readRib(stream.data(), stream.size(), "inlined.rib", *check), 0);
  RiEnd();
  std::remove(archive.c_str());
  std::remove(path.c_str());
}

} // namespace
