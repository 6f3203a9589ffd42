#include "ViewWindow.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PictureDraw.h"
#include "PictureSource.h"
#include "Snapshot.h"

namespace ribview {
namespace {

constexpr int kFrameMilliseconds = 1000 / 30;

// What the reading thread hands to the window.
struct Feed {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<view::Picture> pictures; // not yet taken by the window
  std::vector<size_t> inputs;          // the input each of them ended in
  size_t count = 0;                    // pictures read so far
  bool done = false;
  ReadOutcome outcome;
};

struct Player {
  const ViewArguments *arguments = nullptr;
  Feed feed;
  std::vector<view::Picture> pictures;
  std::vector<size_t> inputs;
  size_t shown = 0;       // index of the picture on screen
  bool started = false;   // --frame's picture has been reached
  bool playing = true;
  bool wires = false;
  bool readingDone = false;
  int status = 0;
  std::string title;
};

Player *player = nullptr; // GLUT's callbacks take no user pointer

std::string inputName(size_t input) {
  const std::string &name = player->arguments->inputs[input];
  return name == "-" ? "standard input" : name;
}

void updateTitle() {
  const std::string title = inputName(player->inputs[player->shown]) + " - picture " +
                            std::to_string(player->shown + 1) + " of " +
                            std::to_string(player->pictures.size());
  if (title == player->title) return;
  player->title = title;
  glutSetWindowTitle(title.c_str());
}

void show(size_t index) {
  if (index >= player->pictures.size()) return;
  player->shown = index;
  updateTitle();
  glutPostRedisplay();
}

// Takes what the reader has added; false when the reading has ended with a reason to stop.
bool takeArrivals() {
  std::lock_guard<std::mutex> lock(player->feed.mutex);
  for (size_t i = 0; i < player->feed.pictures.size(); ++i) {
    player->pictures.push_back(std::move(player->feed.pictures[i]));
    player->inputs.push_back(player->feed.inputs[i]);
  }
  player->feed.pictures.clear();
  player->feed.inputs.clear();
  if (!player->feed.done || player->readingDone) return true;
  player->readingDone = true;
  const ReadOutcome &outcome = player->feed.outcome;
  if (!outcome.unreadable.empty()) {
    std::fprintf(stderr, "rib-view: %s\n", outcome.unreadable.c_str());
    player->status = 2;
  } else if (outcome.problems > 0) {
    player->status = 1;
  }
  const size_t wanted = static_cast<size_t>(player->arguments->firstPicture());
  if (player->pictures.size() < wanted) {
    std::fprintf(stderr, "rib-view: %s\n",
                 noSuchPicture(static_cast<int>(wanted), static_cast<int>(player->pictures.size()))
                     .c_str());
    player->status = 2;
    return false;
  }
  return true;
}

void quit() {
  // The reader may be waiting on a pipe that never ends: nothing is left to wait for.
  if (!player->readingDone) {
    std::fflush(nullptr);
    _exit(player->status);
  }
  glutLeaveMainLoop();
}

void tick(int) {
  if (!takeArrivals()) {
    quit();
    return;
  }
  const size_t wanted = static_cast<size_t>(player->arguments->firstPicture()) - 1;
  if (!player->started) {
    player->started = player->pictures.size() > wanted;
    show(player->started ? wanted : player->pictures.size() - 1);
  } else if (player->playing && player->shown + 1 < player->pictures.size()) {
    show(player->shown + 1);
  } else {
    updateTitle(); // more pictures may have come: "of M"
  }
  glutTimerFunc(kFrameMilliseconds, tick, 0);
}

void display() {
  drawPicture(player->pictures[player->shown],
              {player->wires, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)});
  glutSwapBuffers();
}

void key(unsigned char key, int, int) {
  switch (key) {
  case ' ':
    player->playing = !player->playing;
    break;
  case 'l':
    player->wires = !player->wires;
    glutPostRedisplay();
    break;
  case 'q':
  case 27:
    quit();
    break;
  }
}

void specialKey(int key, int, int) {
  player->started = true;
  if (key == GLUT_KEY_RIGHT || key == GLUT_KEY_LEFT) player->playing = false;
  if (key == GLUT_KEY_RIGHT) show(player->shown + 1);
  if (key == GLUT_KEY_LEFT && player->shown > 0) show(player->shown - 1);
  if (key == GLUT_KEY_HOME) show(0);
}

} // namespace

int runWindow(const ViewArguments &arguments) {
  const char *xDisplay = std::getenv("DISPLAY");
  if (!xDisplay || !*xDisplay) {
    std::fprintf(stderr, "rib-view: no display for a window (DISPLAY is not set); --snapshot "
                         "OUT.png draws without one\n");
    return 2;
  }
  Player state;
  state.arguments = &arguments;
  state.wires = arguments.lines;
  player = &state;

  std::thread reader([&state, &arguments] {
    view::ViewOptions options;
    options.width = arguments.width;
    options.height = arguments.height;
    const ReadOutcome outcome =
        readPictures(arguments.inputs, options, [&state](view::Picture &&picture, size_t input) {
          std::lock_guard<std::mutex> lock(state.feed.mutex);
          state.feed.pictures.push_back(std::move(picture));
          state.feed.inputs.push_back(input);
          ++state.feed.count;
          state.feed.arrived.notify_all();
        });
    std::lock_guard<std::mutex> lock(state.feed.mutex);
    state.feed.outcome = outcome;
    state.feed.done = true;
    state.feed.arrived.notify_all();
  });

  // The window opens at the first picture's size, so it waits for that picture.
  int width = 0, height = 0;
  {
    std::unique_lock<std::mutex> lock(state.feed.mutex);
    state.feed.arrived.wait(lock, [&] { return state.feed.count > 0 || state.feed.done; });
    if (state.feed.count > 0) {
      width = state.feed.pictures.front().width;
      height = state.feed.pictures.front().height;
    }
  }
  if (width == 0) {
    reader.join();
    player = nullptr;
    const ReadOutcome &outcome = state.feed.outcome;
    std::fprintf(stderr, "rib-view: %s\n",
                 outcome.unreadable.empty() ? "the input has no picture (no WorldEnd)"
                                            : outcome.unreadable.c_str());
    return 2;
  }

  int glutArgc = 1;
  char glutName[] = "rib-view";
  char *glutArgv[] = {glutName, nullptr};
  glutInit(&glutArgc, glutArgv);
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
  // A picture larger than the screen opens a window that fits on it, of the picture's shape.
  const int screenWidth = glutGet(GLUT_SCREEN_WIDTH), screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
  if (screenWidth > 0 && screenHeight > 0 && (width > screenWidth || height > screenHeight)) {
    const double scale = std::min(double(screenWidth) / width, double(screenHeight) / height);
    width = std::max(1, static_cast<int>(width * scale));
    height = std::max(1, static_cast<int>(height * scale));
  }
  glutInitWindowSize(width, height);
  glutCreateWindow("rib-view");
  takeArrivals();
  show(0);
  glutDisplayFunc(display);
  glutReshapeFunc([](int, int) { glutPostRedisplay(); });
  glutKeyboardFunc(key);
  glutSpecialFunc(specialKey);
  glutTimerFunc(0, tick, 0);
  glutMainLoop();
  takeArrivals();
  if (!state.readingDone) quit();
  reader.join();
  player = nullptr;
  return state.status;
}

} // namespace ribview
