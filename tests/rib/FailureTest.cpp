// Faults from the outside, as an unlucky host program meets them: a full disk, a closed standard
// output, pipe commands that stop reading or end badly, a small thread stack, two contexts on two
// threads, numbers that are not finite, carriage returns in comments. Each fault that could end a
// process runs in a child: the host must carry on and exit as it chooses, with one line per fault
// on standard error, RiLastError set, and the RIB written before the fault intact.
#include <pthread.h>
#include <signal.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "RibReading.h"
#include "RibTestUtil.h"

namespace {

using ribtest::ChildRun;
using ribtest::kHeader;
using ribtest::readFile;
using ribtest::ribOf;
using ribtest::runInChild;
using ribtest::stderrOf;
using ribtest::tempPath;
using ribtest::tok;

constexpr RtFloat kNan = std::numeric_limits<RtFloat>::quiet_NaN();
constexpr RtFloat kInfinity = std::numeric_limits<RtFloat>::infinity();

// More than a pipe holds: the write meets the end of the command whatever the timing.
const std::string kLongComment(200000, 'x');

// The host's own SIGPIPE handling: the default action (which would end it), not blocked.
void takeDefaultSigpipe() {
  signal(SIGPIPE, SIG_DFL);
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
}

// True when SIGPIPE is as takeDefaultSigpipe left it and none is pending.
bool sigpipeAsTheHostLeftIt() {
  struct sigaction action;
  sigset_t mask, pending;
  sigaction(SIGPIPE, nullptr, &action);
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  sigpending(&pending);
  return action.sa_handler == SIG_DFL && !sigismember(&mask, SIGPIPE) &&
         !sigismember(&pending, SIGPIPE);
}

std::string quoted(const std::string &path) { return "'" + path + "'"; }

TEST(Failure, WriteErrorsAreReportedOnceAndTheHostCarriesOn) {
  // A full disk shows at WorldEnd's flush; nothing more is said, whatever follows.
  ChildRun run = runInChild([] {
    RiBegin(tok("/dev/full"));
    RiWorldBegin();
    RiSphere(1, -1, 1, 360, RI_NULL);
    RiWorldEnd();
    RiWorldBegin();
    RiWorldEnd();
    RiEnd();
    return static_cast<int>(RiLastError);
  });
  EXPECT_EQ(run.exitStatus, RIE_DISKFULL);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to \"/dev/full\": No space left on device\n");

  run = runInChild([] {
    close(STDOUT_FILENO);
    RiBegin(RI_NULL);
    RiWorldBegin();
    RiWorldEnd();
    RiEnd();
    return static_cast<int>(RiLastError);
  });
  EXPECT_EQ(run.exitStatus, RIE_SYSTEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to standard output: Bad file descriptor\n");
}

TEST(Failure, PipeCommandsThatStopReadingOrFailDoNotEndTheHost) {
  const std::string out = tempPath("pipe_out");
  auto writeScene = [] {
    takeDefaultSigpipe();
    RiWorldBegin();
    RiArchiveRecord(tok("comment"), tok("%s"), kLongComment.c_str());
    RiWorldEnd();
    RiEnd();
    return sigpipeAsTheHostLeftIt() ? static_cast<int>(RiLastError) : 100;
  };

  // A command that exits at once, reading nothing.
  ChildRun run = runInChild([&] {
    RiBegin(tok("|true"));
    return writeScene();
  });
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, RIE_SYSTEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to the command \"true\": Broken pipe\n");

  // Standard output into a pipe whose reader has gone ("| head"): the same protection.
  run = runInChild([&] {
    int ends[2];
    if (pipe(ends) != 0 || dup2(ends[1], STDOUT_FILENO) < 0) return 101;
    close(ends[0]);
    close(ends[1]);
    RiBegin(RI_NULL);
    return writeScene();
  });
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, RIE_SYSTEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to standard output: Broken pipe\n");

  // A command that stops after three lines: they reach it whole.
  const std::string head = "head -n 3 > " + quoted(out);
  run = runInChild([&] {
    RiBegin(tok(("|" + head).c_str()));
    return writeScene();
  });
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, RIE_SYSTEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: cannot write the RIB to the command \"" + head + "\": Broken pipe\n");
  EXPECT_EQ(readFile(out), std::string(kHeader) + "WorldBegin\n");

  // A command that reads everything and exits with status 3: the RIB is whole, the status said.
  const std::string failing = "cat > " + quoted(out) + "; exit 3";
  run = runInChild([&] {
    RiBegin(tok(("|" + failing).c_str()));
    RiSphere(1, -1, 1, 360, RI_NULL);
    return writeScene();
  });
  EXPECT_EQ(run.exitStatus, RIE_SYSTEM);
  EXPECT_EQ(run.stderrText,
            "zizurezar error: the RIB command \"" + failing + "\" ended with status 3\n");
  EXPECT_EQ(readFile(out), std::string(kHeader) + "Sphere 1 -1 1 360\nWorldBegin\n# " +
                               kLongComment + "\nWorldEnd\n\n");
  std::remove(out.c_str());
}

// Meshes through the C procedures (which gather their lists on the stack) and a record.
void writeMeshes(const char *path) {
  RtInt nvertices[] = {3, 3}, vertices[] = {0, 1, 2, 2, 1, 3}, nloops[] = {1, 1};
  RtFloat P[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
  const std::string record(900, 'r');
  RiBegin(tok(path));
  RiPointsPolygons(2, nvertices, vertices, RI_P, P, RI_NULL);
  RiPointsGeneralPolygons(2, nloops, nvertices, vertices, RI_P, P, RI_NULL);
  RiSubdivisionMesh(tok("catmull-clark"), 2, nvertices, vertices, 0, nullptr, nullptr, nullptr,
                    nullptr, RI_P, P, RI_NULL);
  RiArchiveRecord(tok("comment"), tok("%s"), record.c_str());
  RiEnd();
}

TEST(Failure, RequestsNeedOnlyASmallThreadStack) {
  const std::string path = tempPath("small_stack"), reference = tempPath("main_stack");
  const ChildRun run = runInChild([&] {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 128 * 1024); // a common thread stack size
    pthread_t thread;
    auto body = [](void *target) -> void * {
      writeMeshes(static_cast<const char *>(target));
      return nullptr;
    };
    if (pthread_create(&thread, &attributes, body, const_cast<char *>(path.c_str())) != 0)
      return 100;
    pthread_join(thread, nullptr);
    return 0;
  });
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.stderrText, "");
  writeMeshes(reference.c_str());
  EXPECT_EQ(readFile(path), readFile(reference));
  EXPECT_NE(readFile(path).find("SubdivisionMesh"), std::string::npos);
  std::remove(path.c_str());
  std::remove(reference.c_str());
}

TEST(Failure, TwoContextsOnTwoThreadsKeepTheirOwnFloats) {
  // Binary sample times: each request fills the buffer more than once, and the requests touch
  // nothing process-wide (no declarations, no reports).
  constexpr int kTimes = 300000;
  std::vector<RtFloat> mine(kTimes), theirs(kTimes);
  for (int i = 0; i < kTimes; ++i) {
    mine[i] = static_cast<RtFloat>(i);
    theirs[i] = -0.5f * static_cast<RtFloat>(i);
  }
  auto open = [](const std::string &path) {
    auto *rib = static_cast<RiContext *>(RiNewContext(tok(path.c_str())));
    RtInt one = 1;
    rib->Option(tok("rib"), tok("binary"), &one, RI_NULL);
    return rib;
  };
  auto write = [](RiContext *rib, std::vector<RtFloat> *times) {
    for (int i = 0; i < 6; ++i) {
      rib->MotionBeginV(kTimes, times->data());
      rib->MotionEnd();
    }
    delete rib;
  };
  const std::string a = tempPath("thread_a"), b = tempPath("thread_b");
  const std::string aAlone = tempPath("alone_a"), bAlone = tempPath("alone_b");
  RiContext *first = open(a), *second = open(b);
  std::thread one(write, first, &mine), other(write, second, &theirs);
  one.join();
  other.join();
  write(open(aAlone), &mine);
  write(open(bAlone), &theirs);
  const std::string written = readFile(a);
  EXPECT_GT(written.size(), 6u * 4 * kTimes);
  EXPECT_TRUE(written == readFile(aAlone));
  EXPECT_TRUE(readFile(b) == readFile(bAlone));
  for (const std::string &path : {a, b, aAlone, bAlone}) std::remove(path.c_str());
}

TEST(Failure, RequestsWithNumbersThatAreNotFiniteAreLeftOutWhole) {
  for (bool binary : {false, true}) {
    RiLastError = 0;
    std::string rib;
    const std::string messages = stderrOf([&] {
      rib = ribOf(
          [](rib::RibWriter &w) {
            RtFloat kd[] = {kNan};
            RtFloat P[] = {0, 0, 0, 1, 0, 0, 1, -kInfinity, 0, 0, 1, 0};
            RtFloat knots[] = {0, 0, 1, 1};
            w.WorldBegin();
            w.Sphere(kNan, -1, 1, 360, RI_NULL);             // a positional float
            w.Surface(tok("matte"), tok("Kd"), kd, RI_NULL); // a parameter
            w.Translate(0, kInfinity, 0);                    // a single float value
            w.Polygon(4, RI_P, P, RI_NULL);                  // a float array
            w.NuPatch(2, 2, knots, 0, kInfinity, 2, 2, knots, 0, 1, RI_NULL); // a range
            w.Sphere(1, -1, 1, 360, RI_NULL);
            w.WorldEnd();
          },
          binary);
    });
    EXPECT_EQ(rib, "WorldBegin\nSphere 1 -1 1 360\nWorldEnd\n") << binary;
    const char *const requests[] = {"RiSphere", "RiSurface", "RiTranslate", "RiPolygon",
                                    "RiNuPatch"};
    std::string expected;
    for (const char *request : requests)
      expected += std::string("zizurezar error: ") + request +
                  " has a number that is not finite; the request is left out\n";
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(RiLastError, RIE_RANGE);
  }
}

TEST(Failure, LongRequestsWithANumberThatIsNotFiniteLeaveNothingBehind) {
  // Requests longer than the encoder's buffer, bad only at their end, in either encoding: into a
  // file (which is cut back) and into a pipe (which must never see their first bytes).
  constexpr int kPoints = 1000, kTriangles = 100000;
  std::vector<RtInt> nvertices(kTriangles, 3), vertices(3 * kTriangles);
  for (size_t i = 0; i < vertices.size(); ++i) vertices[i] = static_cast<RtInt>(i % kPoints);
  std::vector<RtFloat> P(3 * kPoints, 0.5f), times(400000, 0.25f), cloud(900000, 2.0f);
  P.back() = kNan;
  times.back() = -kInfinity;
  RtFloat badWidth = kNan;
  const std::string out = tempPath("long_requests");
  for (const std::string &target : {out, "|cat > " + quoted(out)})
    for (RtInt binary : {0, 1}) {
      gRibBinary = binary;
      std::string messages = stderrOf([&] {
        RiBegin(tok(target.c_str()));
        RiWorldBegin();
        RiPointsPolygons(kTriangles, nvertices.data(), vertices.data(), RI_P, P.data(), RI_NULL);
        RiMotionBeginV(static_cast<RtInt>(times.size()), times.data());
        RiPoints(static_cast<RtInt>(cloud.size() / 3), RI_P, cloud.data(), RI_CONSTANTWIDTH,
                 &badWidth, RI_NULL);
        RiWorldEnd();
        RiEnd();
      });
      const std::string written = readFile(out);
      EXPECT_TRUE(written == std::string(kHeader) + "WorldBegin\nWorldEnd\n\n")
          << target << binary << ": " << written.size() << " bytes";
      EXPECT_EQ(messages,
                "zizurezar error: RiPointsPolygons has a number that is not finite; the request is "
                "left out\n"
                "zizurezar error: RiMotionBegin has a number that is not finite; the request is "
                "left out\n"
                "zizurezar error: RiPoints has a number that is not finite; the request is left "
                "out\n")
          << target << binary;
    }
  gRibBinary = 0;
  std::remove(out.c_str());
}

TEST(Failure, CarriageReturnsCannotEndACommentEarly) {
  // Readers end a comment at CR as at LF: text after either must stay inside the record.
  const std::string rib = ribOf([](rib::RibWriter &w) {
    w.ArchiveRecord(tok("comment"), tok("%s"),
                    "one\rWorldEnd\r\nReadArchive \"evil.rib\"\n\rlast\r");
    w.ArchiveRecord(tok("structure"), tok("%s"), "a\rb");
    w.Sphere(1, -1, 1, 360, RI_NULL);
  });
  EXPECT_EQ(rib, "# one\n# WorldEnd\n# ReadArchive \"evil.rib\"\n# \n# last\n##a\n##b\n"
                 "Sphere 1 -1 1 360\n");
  const std::vector<RibRequest> requests = readRibRequests(rib);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].keyword, "Sphere");
}

} // namespace
