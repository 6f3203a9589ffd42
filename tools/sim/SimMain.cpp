// wobblerama-sim: the demo's world without a window, for scripted runs and measurements.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "rib/RiContext.h"
#include "sim/World.h"
#include "tools/common/StandardDescriptors.h"
#include "tools/sim/SceneRib.h"
#include "tools/sim/SimOptions.h"
#include "tools/sim/SimRun.h"

namespace {

// A self-overwriting "step N of M" line on standard error, at most a few times per second.
class TerminalProgress : public simtool::ProgressSink {
public:
  void update(std::uint64_t stepsTaken, std::uint64_t totalSteps) override {
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - lastShown_ < std::chrono::milliseconds(250)) return;
    lastShown_ = now;
    show(stepsTaken, totalSteps);
  }

  // Runs too short to have shown anything leave the terminal alone.
  void finish(std::uint64_t totalSteps) override {
    if (!shown_) return;
    show(totalSteps, totalSteps);
    std::fputc('\n', stderr);
  }

  // Ends the progress line, if one shows, so that a message can follow on a line of its own.
  void endLine() {
    if (shown_) std::fputc('\n', stderr);
    shown_ = false;
  }

private:
  void show(std::uint64_t stepsTaken, std::uint64_t totalSteps) {
    shown_ = true;
    std::fprintf(stderr, "\rwobblerama-sim: step %llu of %llu",
                 static_cast<unsigned long long>(stepsTaken),
                 static_cast<unsigned long long>(totalSteps));
    std::fflush(stderr);
  }

  bool shown_ = false;
  std::chrono::steady_clock::time_point lastShown_;
};

// Why the RIB file `name` cannot be created, or empty; creates (truncates) it to find out. Asked
// before the world is built for the first file, so that an unwritable --rib file is a bad argument
// said in one line naming it, with nothing on standard output (the library would only end the
// process later, after the world's progress lines); and before each later frame's own file, so
// that a run that cannot go on stops with a clear line. Something other than a regular file (a
// FIFO, a device) is only checked for write permission: opened and closed once for the trial, a
// FIFO would give its reader an end of file before the RIB.
std::string ribFileProblem(const std::string &name) {
  struct stat info;
  if (stat(name.c_str(), &info) == 0 &&
      (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
    if (access(name.c_str(), W_OK) == 0) return "";
    return "cannot create the RIB file '" + name + "': " + std::strerror(errno);
  }
  FILE *file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return "cannot create the RIB file '" + name + "': " + std::strerror(errno);
  std::fclose(file);
  return "";
}

// The RIB library's options for every context made later: the scene's precision, the binary or
// compact encoding when asked, gzip for a file named ".gz" (every frame's file, when split).
void setRibOptions(const simtool::SimOptions &options) {
  static char rib[] = "rib", format[] = "format", binary[] = "binary", compact[] = "compact",
              compression[] = "compression", gzip[] = "gzip";
  char *binaryText = binary, *compactText = compact, *gzipText = gzip;
  simtool::setSceneRibPrecision();
  if (options.ribBinary) RiOption(rib, format, &binaryText, RI_NULL);
  if (options.ribCompact) RiOption(rib, format, &compactText, RI_NULL);
  const std::string &target = options.ribTarget;
  if (simtool::isRibFile(target) && target.size() > 3 &&
      target.compare(target.size() - 3, 3, ".gz") == 0)
    RiOption(rib, compression, &gzipText, RI_NULL);
}

// Opens a RIB context on `target` and makes it current; "-" is standard output.
RiContext *beginRib(std::string target) {
  RiBegin(target == "-" ? nullptr : &target[0]);
  return RiCurrentContext;
}

// Where a recording that is not split into frame files goes.
std::string singleRibTarget(const simtool::SimOptions &options) {
  return simtool::isRibFile(options.ribTarget) ? options.ribFiles.fileName(0) : options.ribTarget;
}

// Records every printed state as one RIB frame, numbered from --first-frame: all into the one
// context opened at the start, or each into a complete file of its own (header, frame, final
// newline) named after its number, so that each file renders by itself.
class RibFrames : public simtool::StateSink {
public:
  RibFrames(const simtool::SimOptions &options, RiContext *single)
      : files_(options.ribFiles), single_(single), nextFrame_(options.firstFrame) {}

  bool state(World &world, std::uint64_t) override {
    // The options keep every frame number of the run within int.
    const int frame = static_cast<int>(nextFrame_++);
    if (single_ != nullptr) {
      simtool::writeSceneFrame(*single_, world, frame);
      return true;
    }
    const std::string name = files_.fileName(frame);
    problem_ = ribFileProblem(name);
    if (!problem_.empty()) return false;
    simtool::writeSceneFrame(*beginRib(name), world, frame);
    RiEnd();
    // A frame the library could not write (it said why) stops the run, and its file goes: a
    // short or empty frame file would pass for a complete one.
    if (RiLastError == RIE_NOERROR) return true;
    struct stat info;
    if (stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode)) std::remove(name.c_str());
    return false;
  }

  // Why the recording stopped early, or empty.
  const std::string &problem() const { return problem_; }

private:
  const simtool::FramePattern &files_;
  RiContext *single_;
  long long nextFrame_;
  std::string problem_;
};

} // namespace

int main(int argc, char **argv) {
  // Before anything is opened, so that no file of the run (the RIB file) receives the CSV.
  ribtools::occupyClosedStandardDescriptors();
  const simtool::ParseResult parsed = simtool::parseSimOptions(argc, argv);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "wobblerama-sim: %s\n%s\n", parsed.error.c_str(), simtool::simUsage());
    return 2;
  }
  const simtool::SimOptions &options = parsed.options;
  if (options.help) {
    std::printf("%s\n%s", simtool::simUsage(), simtool::simHelp());
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", simtool::simVersion());
    return 0;
  }
  // Standard output and renderer pipes are not files and are not checked.
  const bool perFrame = options.ribFiles.perFrame();
  if (simtool::isRibFile(options.ribTarget)) {
    const std::string problem = ribFileProblem(
        perFrame ? options.ribFiles.fileName(options.firstFrame) : singleRibTarget(options));
    if (!problem.empty()) {
      std::fprintf(stderr, "wobblerama-sim: %s\n%s\n", problem.c_str(), simtool::simUsage());
      return 2;
    }
  }

  // With the RIB on standard output, the console carries nothing else: the world's progress
  // lines go to standard error and no CSV is written.
  const bool ribOnStdout = options.ribTarget == "-";
  std::streambuf *console = std::cout.rdbuf();
  if (ribOnStdout) std::cout.rdbuf(std::cerr.rdbuf());
  World world;
  std::cout.rdbuf(console);

  const bool recording = !options.ribTarget.empty();
  if (recording) setRibOptions(options);
  RiContext *single = recording && !perFrame ? beginRib(singleRibTarget(options)) : nullptr;
  RibFrames frames(options, single);
  TerminalProgress terminal;
  simtool::ProgressSink *progress = isatty(STDERR_FILENO) ? &terminal : nullptr;
  const bool written = simtool::runSimulation(world, options, ribOnStdout ? nullptr : stdout,
                                              progress, recording ? &frames : nullptr);
  if (single != nullptr) RiEnd();
  // The library reports every problem of the recording on standard error and in RiLastError
  // (a write that failed, a pipe's command that ended badly, a request it had to leave out).
  const bool ribFailed = recording && RiLastError != RIE_NOERROR;
  if (!frames.problem().empty()) {
    terminal.endLine();
    std::fprintf(stderr, "wobblerama-sim: %s\n", frames.problem().c_str());
    return 1;
  }
  if (!written) {
    std::fprintf(stderr, "wobblerama-sim: could not write the state to standard output\n");
    return 1;
  }
  return ribFailed ? 1 : 0;
}
