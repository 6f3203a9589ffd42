// wobblerama-sim --rib: the recorded frames, byte for byte and as a RIB reader sees them.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ParamDecl.h"
#include "RibReading.h"
#include "RibWriter.h"
#include "ToolRunning.h"

using namespace rib;

namespace {

std::string tempPath(const char *name) {
  return std::string(::testing::TempDir()) + "recording_" + std::to_string(getpid()) + "_" + name;
}

struct SimRun {
  int status = -1;
  std::string out, err;
};

// Runs the simulator through the shell (so that '|command' targets are tested as users give them),
// with standard output into a file or closed.
SimRun simulate(const std::string &arguments, bool closedStdout = false) {
  const std::string out = tempPath("stdout"), err = tempPath("stderr");
  const std::string command = std::string("'") + WOBBLERAMA_SIM_PATH + "' " + arguments +
                              (closedStdout ? " >&-" : " >'" + out + "'") + " 2>'" + err +
                              "' </dev/null";
  const int status = std::system(command.c_str());
  SimRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = slurp(out);
  run.err = slurp(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return run;
}

const char *kGolden = WOBBLERAMA_TEST_DATA "/golden/recording_two_frames.rib";

// ---- Where the recorded bounds land in the window's view ----

using Point = std::array<double, 3>;

// How far inside the window's view box (-5..5 on every axis of the world) the point `p` of the
// frame turned by a RIB "Rotate angle x y z" lies; negative outside.
double depthInView(const std::vector<double> &rotate, const Point &p) {
  const double n = std::hypot(rotate[1], rotate[2], rotate[3]);
  const double x = rotate[1] / n, y = rotate[2] / n, z = rotate[3] / n;
  const double c = std::cos(rotate[0] * M_PI / 180), s = std::sin(rotate[0] * M_PI / 180);
  const double t = 1 - c;
  const double turn[3][3] = {{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                             {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                             {x * z * t - y * s, y * z * t + x * s, z * z * t + c}};
  double depth = 5;
  for (const auto &row : turn)
    depth = std::min(depth, 5 - std::fabs(row[0] * p[0] + row[1] * p[1] + row[2] * p[2]));
  return depth;
}

// A polygon or the reference lines (red curves) of a frame, with the turn they are written in.
struct Bound {
  std::string keyword;
  std::vector<Point> points;
  std::vector<double> rotate;
};

// The bounds of each frame; the springs (white curves) and the spheres are left out.
std::vector<std::vector<Bound>> readBounds(const std::vector<RibRequest> &requests) {
  std::vector<std::vector<Bound>> frames;
  std::vector<double> rotate, color;
  for (const RibRequest &request : requests) {
    if (request.keyword == "FrameBegin")
      frames.emplace_back();
    else if (request.keyword == "Rotate") {
      rotate.clear();
      for (const RibValue &value : request.values) rotate.push_back(ribNumbers(value)[0]);
    } else if (request.keyword == "Color")
      color = ribNumbers(request.values[0]);
    const bool red = color == std::vector<double>{1, 0, 0};
    if (request.keyword == "Polygon" || (request.keyword == "Curves" && red)) {
      const std::vector<double> p = parameterNumbers(request, "P");
      Bound bound{request.keyword, {}, rotate};
      for (std::size_t i = 0; i + 2 < p.size(); i += 3)
        bound.points.push_back({p[i], p[i + 1], p[i + 2]});
      frames.back().push_back(bound);
    }
  }
  return frames;
}

// Checks that a wall or floor polygon covers exactly what the view shows of its plane: a grid of
// points of the plane, each clearly inside the view or clearly outside it, against the polygon.
void expectCoversTheVisiblePlane(const Bound &polygon) {
  // The walls and the floor are planes of constant x or y in their frame.
  const int across = polygon.points[0][0] == polygon.points[1][0] ? 0 : 1;
  const int u = across == 0 ? 1 : 0, v = 2;
  const std::vector<Point> &corners = polygon.points;
  auto insidePolygon = [&](const Point &q) {
    int left = 0, right = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
      const Point &a = corners[i], &b = corners[(i + 1) % corners.size()];
      const double cross = (b[u] - a[u]) * (q[v] - a[v]) - (b[v] - a[v]) * (q[u] - a[u]);
      left += cross > 0, right += cross < 0;
    }
    return left == 0 || right == 0;
  };
  const double margin = 0.01; // a third of a pixel of the 300-pixel view of 10 units
  int shown = 0;
  for (double a = -12; a <= 12; a += 0.125) {
    for (double b = -12; b <= 12; b += 0.125) {
      Point q = polygon.points[0];
      q[u] = a, q[v] = b;
      const double depth = depthInView(polygon.rotate, q);
      if (std::fabs(depth) < margin) continue;
      shown += depth > 0;
      ASSERT_EQ(depth > 0, insidePolygon(q)) << q[0] << " " << q[1] << " " << q[2];
    }
  }
  EXPECT_GT(shown, 1000);
}

} // namespace

TEST(RibRecording, TwoFramesMatchTheGoldenFileByteForByte) {
  const std::string rib = tempPath("two.rib");
  const SimRun run = simulate("--steps 2 --every 1 --rib '" + rib + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(slurp(rib), slurp(kGolden));
  std::remove(rib.c_str());
}

TEST(RibRecording, EveryParameterIsDeclaredAndCarriesTheValuesItsPrimitiveNeeds) {
  rib::Declarations declarations; // the standard ones, as a RIB reader starts with
  const std::string path = tempPath("parse.rib");
  const SimRun run = simulate("--steps 300 --every 100 --push 50:2 --rib '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<RibRequest> requests = readRibRequests(slurp(path));
  std::remove(path.c_str());

  int frames = 0, primitives = 0;
  for (const RibRequest &request : requests) {
    frames += request.keyword == "FrameBegin";
    if (request.keyword != "Curves" && request.keyword != "Polygon") continue;
    ++primitives;
    const size_t params = parameterStart(request);
    // Vertex count: the sum of the curves' vertex counts, or the polygon's points.
    long vertices = 0;
    if (request.keyword == "Curves") {
      ASSERT_EQ(request.values[0].text, "linear");
      ASSERT_EQ(request.values[2].text, "nonperiodic");
      for (const std::string &count : request.values[1].items) vertices += std::stol(count);
    } else {
      ASSERT_EQ(request.values[params].text, "P");
      vertices = static_cast<long>(request.values[params + 1].items.size()) / 3;
    }
    for (size_t i = params; i < request.values.size(); i += 2) {
      const std::string &token = request.values[i].text;
      const ParamDecl *decl = declarations.lookup(token.c_str());
      ASSERT_NE(decl, nullptr) << token << " is not declared";
      const long elements = decl->paramClass == kClassConstant ? 1 : vertices;
      EXPECT_EQ(static_cast<long>(request.values[i + 1].items.size()),
                elements * decl->arraySize * paramTypeInfo(decl->type).components)
          << request.keyword << " " << token;
    }
  }
  EXPECT_EQ(frames, 3);
  EXPECT_EQ(primitives, 3 * 5); // two walls, the floor, the red lines, the springs
}

TEST(RibRecording, BoundsCoverExactlyWhatTheViewShowsAndNothingOutsideIt) {
  const std::string path = tempPath("view.rib");
  const SimRun run = simulate("--steps 300 --every 100 --push 50:2 --rib '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::vector<Bound>> frames = readBounds(readRibRequests(slurp(path)));
  std::remove(path.c_str());
  ASSERT_EQ(frames.size(), 3u);

  // Vertices come out of the clipping in double and are written as floats: each may lie outside
  // by that float's rounding, nothing more.
  const double rounding = 1e-5;
  for (const std::vector<Bound> &bounds : frames) {
    ASSERT_EQ(bounds.size(), 4u); // two walls, the floor, the reference lines
    for (const Bound &bound : bounds) {
      ASSERT_EQ(bound.rotate, (std::vector<double>{15, 1, 1, 0}));
      for (const Point &p : bound.points) {
        const double depth = depthInView(bound.rotate, p);
        EXPECT_GT(depth, -rounding) << p[0] << " " << p[1] << " " << p[2];
        // The reference lines reach across the view: both ends on its boundary.
        if (bound.keyword == "Curves") {
          EXPECT_LT(depth, rounding);
        }
      }
      if (bound.keyword == "Polygon")
        expectCoversTheVisiblePlane(bound);
      else
        EXPECT_EQ(bound.points.size(), 6u);
    }
  }
}

TEST(RibRecording, FilePatternWritesOneCompleteFilePerFrameNamedByItsNumber) {
  namespace fs = std::filesystem;
  const fs::path folder = tempPath("frames");
  const std::string header = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";
  for (const std::string encoding : {"", " --rib-binary"}) {
    fs::remove_all(folder);
    fs::create_directory(folder);
    const std::string run = "--steps 30 --every 10 --push 5:1 --first-frame 8" + encoding;
    const SimRun split = simulate(run + " --rib '" + (folder / "w.%04d.rib").string() + "'");
    ASSERT_EQ(split.status, 0) << split.err;
    const SimRun whole = simulate(run + " --rib '" + (folder / "whole.rib").string() + "'");
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(split.out, whole.out);

    // Each file: the header, one frame, the final newline; together the one file's frames.
    std::string frames = header;
    for (int frame = 8; frame <= 10; ++frame) {
      char name[16];
      std::snprintf(name, sizeof name, "w.%04d.rib", frame);
      const std::string file = slurp((folder / name).string());
      ASSERT_EQ(file.compare(0, header.size(), header), 0) << name;
      ASSERT_EQ(file.back(), '\n');
      frames += file.substr(header.size(), file.size() - header.size() - 1);
      if (encoding.empty()) {
        const std::vector<RibRequest> requests = readRibRequests(file);
        ASSERT_EQ(requests[1].keyword, "FrameBegin"); // after "version 3.03"
        EXPECT_EQ(requests[1].values[0].text, std::to_string(frame));
        EXPECT_EQ(requests.back().keyword, "FrameEnd");
      }
    }
    EXPECT_EQ(frames + "\n", slurp((folder / "whole.rib").string())) << encoding;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
  }

  // Bad patterns are bad arguments and write nothing.
  fs::remove_all(folder);
  fs::create_directory(folder);
  for (const char *pattern : {"a.%d.%04d.rib", "a.%s.rib", "a.%i.rib", "a.%x.rib", "a.rib%"}) {
    const SimRun bad = simulate("--steps 3 --rib '" + (folder / pattern).string() + "'");
    EXPECT_EQ(bad.status, 2) << pattern;
    EXPECT_EQ(bad.out, "") << pattern;
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 2) << bad.err;
    EXPECT_NE(bad.err.find("\nusage: wobblerama-sim "), std::string::npos) << bad.err;
  }
  EXPECT_TRUE(fs::is_empty(folder));

  // A frame's file that cannot be made stops the run with one line and status 1; the frames
  // before it stay complete.
  fs::create_directory(folder / "m.2.rib");
  const SimRun stopped =
      simulate("--steps 3 --every 1 --rib '" + (folder / "m.%d.rib").string() + "'");
  EXPECT_EQ(stopped.status, 1);
  EXPECT_EQ(stopped.err, "wobblerama-sim: cannot create the RIB file '" +
                             (folder / "m.2.rib").string() + "': Is a directory\n");
  EXPECT_EQ(readRibRequests(slurp((folder / "m.1.rib").string())).back().keyword, "FrameEnd");
  EXPECT_FALSE(fs::exists(folder / "m.3.rib"));
  fs::remove_all(folder);
}

TEST(RibRecording, StandardOutputCarriesOnlyTheRib) {
  const SimRun run = simulate("--steps 2 --every 1 --rib -");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, slurp(kGolden));
  EXPECT_NE(run.err.find("blorp has been created\n"), std::string::npos);
  EXPECT_EQ(run.err.find("step,i,j,k"), std::string::npos);
}

TEST(RibRecording, PipeTargetRunsTheCommandAndBinaryEncodesFloats) {
  const std::string piped = tempPath("piped.rib");
  SimRun run = simulate("--steps 2 --every 1 --rib '|cat > " + piped + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(slurp(piped), slurp(kGolden));
  std::remove(piped.c_str());

  const std::string binary = tempPath("binary.rib");
  run = simulate("--steps 2 --every 1 --rib '" + binary + "' --rib-binary");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string bytes = slurp(binary);
  std::remove(binary.c_str());
  // The springs' 245 x 2 points: "P" then a float array of 1470 values (0xC9 0x05 0xBE).
  EXPECT_NE(bytes.find(std::string("\"P\" \xC9\x05\xBE", 7)), std::string::npos);
  EXPECT_NE(bytes.find("FrameBegin 2\n"), std::string::npos);
  EXPECT_EQ(bytes.find("[0 0.8 0]"), std::string::npos);
}

TEST(RibRecording, RibOutputThatFailsEndsTheRunWithStatusOneAndKeepsTheCsv) {
  const SimRun plain = simulate("--steps 10");
  ASSERT_EQ(plain.status, 0) << plain.err;

  // A command that reads nothing and fails, and a full disk: the library says why in its own
  // lines, the CSV is whole, the status is 1.
  SimRun run = simulate("--steps 10 --rib '|false'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, plain.out);
  const std::string ended = "zizurezar error: the RIB command \"false\" ended with status 1\n";
  ASSERT_GE(run.err.size(), ended.size()) << run.err;
  EXPECT_EQ(run.err.substr(run.err.size() - ended.size()), ended);

  run = simulate("--steps 10 --rib /dev/full");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, plain.out);
  EXPECT_EQ(run.err,
            "zizurezar error: cannot write the RIB to \"/dev/full\": No space left on device\n");

  // A closed standard output is not taken by the RIB file: the CSV fails as without --rib, and
  // the RIB file holds only the RIB.
  const std::string rib = tempPath("closed_stdout.rib"), reference = tempPath("reference.rib");
  run = simulate("--steps 10 --rib '" + rib + "'", true);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "wobblerama-sim: could not write the state to standard output\n");
  ASSERT_EQ(simulate("--steps 10 --rib '" + reference + "'").status, 0);
  EXPECT_EQ(slurp(rib), slurp(reference));
  std::remove(rib.c_str());
  std::remove(reference.c_str());
}

namespace {

TEST(RibRecording, FrameNamesStayFilesAndFailedOutputsLeaveNothingBehind) {
  namespace fs = std::filesystem;
  const fs::path folder = tempPath("boundaries");
  fs::remove_all(folder);
  fs::create_directory(folder);
  const std::string ran = (folder / "ran").string();

  // A frame-number conversion that expands to nothing must not turn the name into a command,
  // standard output or a renderer: a bad argument, nothing run, nothing written.
  for (const std::string &pattern :
       {"%.0d|touch " + ran, std::string("-%.0d"), std::string("rendrib%.0d")}) {
    const SimRun bad = simulate("--steps 1 --first-frame 0 --rib '" + pattern + "'");
    const std::string expanded = std::string(pattern).erase(pattern.find("%.0d"), 4);
    EXPECT_EQ(bad.status, 2) << pattern;
    EXPECT_EQ(bad.out, "") << pattern;
    EXPECT_EQ(bad.err.substr(0, bad.err.find('\n')), "wobblerama-sim: --rib file name '" + pattern +
                                                         "' gives frame 0 the name '" + expanded +
                                                         "', which is not a file name");
  }
  EXPECT_FALSE(fs::exists(ran));

  // A frame file that fails midway (here the file size limit, as a full disk) is removed, not
  // left short for a checker to pass.
  const std::string pattern = (folder / "f.%d.rib").string();
  const std::string err = (folder / "err").string();
  const std::string limited = "trap '' XFSZ; ulimit -f 4; exec '" WOBBLERAMA_SIM_PATH
                              "' --steps 1 --rib '" +
                              pattern + "' >/dev/null 2>'" + err + "'";
  const int status = std::system(limited.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  EXPECT_EQ(slurp(err), "zizurezar error: cannot write the RIB to \"" +
                            (folder / "f.1.rib").string() + "\": File too large\n");
  EXPECT_FALSE(fs::exists(folder / "f.1.rib"));

  // A FIFO is opened once: its reader gets the whole recording, not an end of file first.
  const std::string fifo = (folder / "fifo").string(), read = (folder / "read.rib").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string viaFifo = "cat '" + fifo + "' > '" + read + "' & timeout 60 '" +
                              WOBBLERAMA_SIM_PATH + "' --steps 2 --every 1 --rib '" + fifo +
                              "' >/dev/null; status=$?; wait; exit $status";
  EXPECT_EQ(std::system(viaFifo.c_str()), 0);
  EXPECT_EQ(slurp(read), slurp(kGolden));

  // Standard output into "| head": the library's one line and status 1, not death by SIGPIPE.
  const std::string statusFile = (folder / "status").string();
  const std::string intoHead = "( '" WOBBLERAMA_SIM_PATH "' --steps 20 --every 1 --rib - 2>'" +
                               err + "'; echo $? >'" + statusFile + "' ) | head -c 10 >/dev/null";
  std::system(intoHead.c_str());
  EXPECT_EQ(slurp(statusFile), "1\n");
  const std::string broken =
      "zizurezar error: cannot write the RIB to standard output: Broken pipe\n";
  const std::string said = slurp(err);
  ASSERT_GE(said.size(), broken.size()) << said;
  EXPECT_EQ(said.substr(said.size() - broken.size()), broken);
  fs::remove_all(folder);
}

} // namespace
