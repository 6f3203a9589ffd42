#include "OffscreenSurface.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

namespace ribview {

struct OffscreenSurface::Gl {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  GLuint framebuffer = 0;
  GLuint colour = 0, depth = 0;
  int width = 0, height = 0;

  std::string start();
  std::string resize(int newWidth, int newHeight);
  ~Gl();
};

namespace {

bool hasExtension(const char *list, const char *name) {
  const size_t length = std::strlen(name);
  for (const char *at = list; at && (at = std::strstr(at, name)) != nullptr; at += length)
    if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  return false;
}

std::string eglProblem(const char *what) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string("cannot draw off-screen: ") + what + " (EGL error " + code + ")";
}

} // namespace

std::string OffscreenSurface::Gl::start() {
  // Always the software renderer: the same pixels on every machine, with a GPU or without, and
  // no device files to open.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  const char *clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
    return "cannot draw off-screen: EGL has no surfaceless platform (Mesa's libegl-mesa0 is "
           "needed)";
  display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
    return eglProblem("the surfaceless display does not start");
  if (!eglBindAPI(EGL_OPENGL_API)) return eglProblem("no desktop OpenGL");
  // The drawing goes to a framebuffer object, never to an EGL surface: any config will do.
  EGLConfig config = nullptr;
  EGLint configs = 0;
  const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
  if (!hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context") &&
      (!eglChooseConfig(display, wanted, &config, 1, &configs) || configs < 1))
    return eglProblem("no OpenGL configuration");
  context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) return eglProblem("no OpenGL context");
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return eglProblem("the OpenGL context cannot be made current");
  glGenFramebuffers(1, &framebuffer);
  glGenRenderbuffers(1, &colour);
  glGenRenderbuffers(1, &depth);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  return "";
}

std::string OffscreenSurface::Gl::resize(int newWidth, int newHeight) {
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSide);
  if (newWidth > maxSide || newHeight > maxSide)
    return "cannot draw a picture of " + std::to_string(newWidth) + "x" +
           std::to_string(newHeight) + " pixels off-screen: " + std::to_string(maxSide) +
           " is the largest side";
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, newWidth, newHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  glBindRenderbuffer(GL_RENDERBUFFER, depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, newWidth, newHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || glGetError())
    return "cannot draw a picture of " + std::to_string(newWidth) + "x" +
           std::to_string(newHeight) + " pixels off-screen: no memory for it";
  width = newWidth;
  height = newHeight;
  return "";
}

OffscreenSurface::Gl::~Gl() {
  if (display == EGL_NO_DISPLAY) return;
  if (context != EGL_NO_CONTEXT) {
    if (framebuffer) {
      glDeleteFramebuffers(1, &framebuffer);
      glDeleteRenderbuffers(1, &colour);
      glDeleteRenderbuffers(1, &depth);
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
  }
  eglTerminate(display);
  eglReleaseThread();
}

OffscreenSurface::OffscreenSurface() = default;
OffscreenSurface::~OffscreenSurface() = default;

std::string OffscreenSurface::prepare(int width, int height) {
  if (!gl_) {
    gl_ = std::make_unique<Gl>();
    if (std::string problem = gl_->start(); !problem.empty()) {
      gl_.reset();
      return problem;
    }
  }
  if (width == gl_->width && height == gl_->height) return "";
  return gl_->resize(width, height);
}

std::vector<uint8_t> OffscreenSurface::read() const {
  const int width = gl_->width, height = gl_->height;
  const size_t pixels = size_t(width) * height, row = size_t(width) * 4;
  std::vector<uint8_t> drawn(pixels * 4);
  std::vector<float> depth(pixels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, drawn.data());
  glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  // GL's rows start at the bottom, a picture's at the top.
  std::vector<uint8_t> rgba(pixels * 4);
  for (int y = 0; y < height; ++y) {
    const size_t from = size_t(height - 1 - y) * width;
    std::memcpy(&rgba[y * row], &drawn[from * 4], row);
    for (int x = 0; x < width; ++x)
      rgba[y * row + size_t(x) * 4 + 3] = depth[from + x] < 1.0f ? 255 : 0;
  }
  return rgba;
}

} // namespace ribview
