#include "PageRecording.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "PageProbe.h"
#include "app/GlobalWorld.h"
#include "rib/RiContext.h"
#include "tools/sim/SceneRib.h"

namespace {

// The recording's file in the page's memory (Emscripten's in-memory file system); a regular file,
// as the simulator's --rib file is, so the library writes it the same way.
constexpr char kRibFile[] = "/wobblerama.rib";

struct Recording {
  bool active = false;
  std::uint64_t every = 5;
  int nextFrame = 1; // numbered as the simulator's --first-frame 1
  bool lastWritten = false; // the state after the steps so far is a frame already
  std::string command;
  std::string bytes;
};
Recording gRecording;

void writeFrame(World &world) {
  simtool::writeSceneFrame(*RiCurrentContext, world, gRecording.nextFrame++);
  gRecording.lastWritten = true;
}

} // namespace

void recordShownStep(World &world, std::uint64_t stepsTaken) {
  if (!gRecording.active) return;
  gRecording.lastWritten = stepsTaken % gRecording.every == 0;
  if (gRecording.lastWritten) writeFrame(world);
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int webRecordStart(int every) {
  if (gRecording.active) webRecordStop();
  gRecording = Recording{};
  gRecording.every = every > 0 ? static_cast<std::uint64_t>(every) : 1;
  restartRun();
  simtool::setSceneRibPrecision();
  static char target[sizeof kRibFile];
  std::snprintf(target, sizeof target, "%s", kRibFile);
  RiLastError = RIE_NOERROR;
  RiBegin(target);
  if (RiCurrentContext == nullptr) return 1;
  gRecording.active = true;
  return 0;
}

EMSCRIPTEN_KEEPALIVE int webRecording() { return gRecording.active ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE int webRecordStop() {
  if (!gRecording.active) return -1;
  const std::uint64_t steps = webFramesShown();
  // wobblerama-sim always writes the final state, once; with no step at all, the first state.
  if (steps == 0 || !gRecording.lastWritten) writeFrame(gWorld);
  gRecording.active = false;
  RiEnd();
  const bool written = RiLastError == RIE_NOERROR;

  std::ifstream file(kRibFile, std::ios::binary);
  gRecording.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  std::remove(kRibFile);

  std::string &command = gRecording.command;
  command = "wobblerama-sim --steps " + std::to_string(steps) + " --every " +
            std::to_string(gRecording.every);
  const std::string kicks = webKicks();
  for (std::size_t at = 0; at < kicks.size();) {
    std::size_t end = kicks.find(' ', at);
    if (end == std::string::npos) end = kicks.size();
    command += " --push " + kicks.substr(at, end - at);
    at = end + 1;
  }
  command += " --rib wobblerama.rib";
  return written ? gRecording.nextFrame - 1 : -1;
}

EMSCRIPTEN_KEEPALIVE const char *webRecordingData() { return gRecording.bytes.data(); }

EMSCRIPTEN_KEEPALIVE std::uint32_t webRecordingSize() {
  return static_cast<std::uint32_t>(gRecording.bytes.size());
}

EMSCRIPTEN_KEEPALIVE const char *webRecordCommand() { return gRecording.command.c_str(); }

} // extern "C"
