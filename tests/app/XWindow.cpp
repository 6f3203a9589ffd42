#include "XWindow.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <thread>

namespace {

// A BadWindow while a window goes away must not end the test process.
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }

// Bits of a colour channel from a pixel value and its mask, scaled to 8 bits.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) ++shift;
  const unsigned long max = mask >> shift;
  return static_cast<std::uint8_t>((((pixel & mask) >> shift) * 255UL + max / 2) / max);
}

} // namespace

XConnection::XConnection(const std::string &display) : display_(XOpenDisplay(display.c_str())) {
  XSetErrorHandler(ignoreXErrors);
}

XConnection::~XConnection() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

std::vector<Window> XConnection::waitForWindows(const std::string &wanted,
                                                std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::vector<Window> found;
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
      for (unsigned int n = 0; n < count; ++n) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, children[n], &attributes) &&
            attributes.map_state == IsViewable && title(children[n]) == wanted)
          found.push_back(children[n]);
      }
      if (children != nullptr) XFree(children);
    }
    if (!found.empty() || std::chrono::steady_clock::now() >= deadline) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string XConnection::title(Window window) {
  char *name = nullptr;
  if (!XFetchName(display_, window, &name) || name == nullptr) return "";
  std::string result = name;
  XFree(name);
  return result;
}

bool XConnection::glVisual(Window window, bool &rgba, bool &doubleBuffered) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return false;
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo *info = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
  if (info == nullptr) return false;
  int isRgba = 0, isDouble = 0;
  const bool ok = glXGetConfig(display_, info, GLX_RGBA, &isRgba) == 0 &&
                  glXGetConfig(display_, info, GLX_DOUBLEBUFFER, &isDouble) == 0;
  XFree(info);
  rgba = isRgba != 0;
  doubleBuffered = isDouble != 0;
  return ok;
}

bool XConnection::size(Window window, int &width, int &height) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

Frame XConnection::capture(Window window) {
  Frame frame;
  int width = 0, height = 0;
  if (!size(window, width, height)) return frame;
  XImage *image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return frame;
  frame.width = width;
  frame.height = height;
  frame.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      frame.pixels.push_back({channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                              channel(pixel, image->blue_mask)});
    }
  XDestroyImage(image);
  return frame;
}

void XConnection::resize(Window window, int width, int height) {
  XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(display_, False);
}

void XConnection::move(Window window, int x, int y) {
  XMoveWindow(display_, window, x, y);
  XSync(display_, False);
}

void XConnection::sendKey(Window window, KeySym key) {
  for (int type : {KeyPress, KeyRelease}) {
    XEvent event{};
    event.xkey.type = type;
    event.xkey.display = display_;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(display_);
    event.xkey.time = CurrentTime;
    event.xkey.x = event.xkey.y = 1;
    event.xkey.same_screen = True;
    event.xkey.keycode = XKeysymToKeycode(display_, key);
    XSendEvent(display_, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
  }
  XSync(display_, False);
}

void XConnection::requestClose(Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
}
