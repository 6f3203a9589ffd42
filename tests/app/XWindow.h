// Test helper: what a window manager or a screenshot tool does with a window, through Xlib:
// find a top-level window by title, read its pixels, resize it, ask it to close.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  std::uint8_t r, g, b;
};

// The pixels of a window, row by row from the top-left corner.
struct Frame {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

class XConnection {
public:
  explicit XConnection(const std::string &display);
  ~XConnection();
  XConnection(const XConnection &) = delete;
  XConnection &operator=(const XConnection &) = delete;

  bool ok() const { return display_ != nullptr; }
  Display *display() const { return display_; }

  // The mapped top-level windows titled `title`; waits (bounded) until at least one exists.
  std::vector<Window> waitForWindows(const std::string &title, std::chrono::milliseconds timeout);
  // The title (WM_NAME) of a window; empty when it has none.
  std::string title(Window window);
  // Whether the window's visual is RGBA and double-buffered, as OpenGL sees it.
  bool glVisual(Window window, bool &rgba, bool &doubleBuffered);
  // The window's size in pixels.
  bool size(Window window, int &width, int &height);
  // The window's current content. Empty frame on failure, e.g. when a part of the window lies
  // outside the screen (X reads only on-screen pixels of windows without backing store).
  Frame capture(Window window);
  void resize(Window window, int width, int height);
  // Places the window's top-left corner at (x, y) of the screen.
  void move(Window window, int x, int y);
  // Sends WM_DELETE_WINDOW the way a window manager does when the user closes the window.
  void requestClose(Window window);
  // Presses and releases the key `key` (an X keysym: XK_space, XK_Home, XK_q...) in the window.
  void sendKey(Window window, KeySym key);

private:
  Display *display_;
};
