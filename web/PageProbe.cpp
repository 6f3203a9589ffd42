#include "PageProbe.h"

#include "PageRecording.h"

#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include <string>

#include "app/Callbacks.h"
#include "app/GlobalWorld.h"
#include "app/Mouse.h"
#include "app/Startup.h"
#include "tools/sim/CsvBuffer.h"

namespace {

std::uint32_t gFramesShown = 0;
std::string gKicks;
// The texts handed to JavaScript stay valid until the next call.
std::string gStateText;

} // namespace

void countedDisplay() {
  display();
  ++gFramesShown;
  recordShownStep(gWorld, gFramesShown);
}

void restartRun() {
  createWorld();
  gFramesShown = 0;
  gKicks.clear();
}

void notedMouse(int button, int state, int x, int y) {
  const int mode = state == GLUT_UP ? pushModeForButton(button) : -1;
  if (mode >= 0) {
    if (!gKicks.empty()) gKicks += ' ';
    gKicks += std::to_string(gFramesShown) + ':' + std::to_string(mode);
  }
  mouse(button, state, x, y);
}

extern "C" {

EMSCRIPTEN_KEEPALIVE std::uint32_t webFramesShown() { return gFramesShown; }

EMSCRIPTEN_KEEPALIVE const char *webKicks() { return gKicks.c_str(); }

EMSCRIPTEN_KEEPALIVE const char *webState() {
  gStateText.clear();
  for (int i = 0; i < gWorld.nodesX; ++i) {
    for (int j = 0; j < gWorld.nodesY; ++j) {
      for (int k = 0; k < gWorld.nodesZ; ++k) {
        const MassPoint &point = *gWorld.nodes[i][j][k];
        gStateText += std::to_string(gFramesShown) + ',' + std::to_string(i) + ',' +
                      std::to_string(j) + ',' + std::to_string(k);
        const double values[6] = {point.position.x, point.position.y, point.position.z,
                                  point.velocity.x, point.velocity.y, point.velocity.z};
        for (double value : values) gStateText += ',' + simtool::formatDouble17(value);
        gStateText += '\n';
      }
    }
  }
  return gStateText.c_str();
}

} // extern "C"
