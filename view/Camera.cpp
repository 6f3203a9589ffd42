#include "Camera.h"

#include <algorithm>
#include <cmath>

namespace view {

Frame frameOf(const CameraOptions &options, const ViewOptions &view) {
  Frame frame;
  const bool sized = view.width > 0 && view.height > 0;
  frame.width = sized ? view.width : std::max(1, options.xResolution);
  frame.height = sized ? view.height : std::max(1, options.yResolution);
  const double pixelAspect = options.pixelAspect > 0 ? options.pixelAspect : 1;
  const double aspect =
      options.frameAspect > 0
          ? options.frameAspect
          : std::max(1, options.xResolution) * pixelAspect / std::max(1, options.yResolution);
  frame.aspect = aspect;
  // The frame fitted into the picture, centred: its width over its height in pixels is the
  // frame aspect over the pixel aspect (square pixels when the size is the viewer's own).
  const double pixels = sized ? aspect : aspect / pixelAspect;
  int w = frame.width, h = frame.height;
  if (double(frame.width) / frame.height > pixels)
    w = std::max(1, int(std::lround(frame.height * pixels)));
  else
    h = std::max(1, int(std::lround(frame.width / pixels)));
  frame.viewportWidth = w, frame.viewportHeight = h;
  frame.viewportX = (frame.width - w) / 2, frame.viewportY = (frame.height - h) / 2;
  if (options.screenGiven) {
    std::copy(options.screen, options.screen + 4, frame.screen);
  } else if (aspect >= 1) {
    const double s[4] = {-aspect, aspect, -1, 1};
    std::copy(s, s + 4, frame.screen);
  } else {
    const double s[4] = {-1, 1, -1 / aspect, 1 / aspect};
    std::copy(s, s + 4, frame.screen);
  }
  return frame;
}

void depthRange(const CameraOptions &options, double nearest, double farthest, double &zNear,
                double &zFar) {
  zNear = options.hither;
  zFar = options.yon;
  const bool empty = nearest > farthest;
  if (zFar >= RI_INFINITY * 0.5f) zFar = empty ? 1 : std::max(farthest * 1.01 + 1e-6, zNear * 2);
  // A depth buffer holds a few thousand distinct depths near the far plane for every one near
  // the default near plane: the near plane comes forward to what is drawn, not beyond.
  if (options.perspective) {
    const double floor = zFar * 1e-5;
    if (zNear < floor) zNear = empty ? floor : std::max(floor, std::min(nearest * 0.99, zFar * 0.5));
    zNear = std::max(zNear, double(options.hither));
  }
  if (zFar <= zNear) zFar = zNear * 2 + 1e-6;
}

void fillProjection(const CameraOptions &options, const Frame &frame, double n, double f,
                    Picture &picture) {
  picture.width = frame.width, picture.height = frame.height;
  picture.viewportX = frame.viewportX, picture.viewportY = frame.viewportY;
  picture.viewportWidth = frame.viewportWidth, picture.viewportHeight = frame.viewportHeight;
  const double l = frame.screen[0], r = frame.screen[1], b = frame.screen[2], t = frame.screen[3];
  double rows[4][4] = {};
  if (options.perspective) {
    // Screen x is camera x / z over tan(fov / 2); the screen window then maps to [-1, 1].
    const double k = 1 / std::tan(options.fov * M_PI / 360);
    const double row0[4] = {2 * k / (r - l), 0, -(r + l) / (r - l), 0};
    const double row1[4] = {0, 2 * k / (t - b), -(t + b) / (t - b), 0};
    const double row2[4] = {0, 0, (f + n) / (f - n), -2 * f * n / (f - n)};
    const double row3[4] = {0, 0, 1, 0};
    std::copy(row0, row0 + 4, rows[0]), std::copy(row1, row1 + 4, rows[1]);
    std::copy(row2, row2 + 4, rows[2]), std::copy(row3, row3 + 4, rows[3]);
  } else {
    const double row0[4] = {2 / (r - l), 0, 0, -(r + l) / (r - l)};
    const double row1[4] = {0, 2 / (t - b), 0, -(t + b) / (t - b)};
    const double row2[4] = {0, 0, 2 / (f - n), -(f + n) / (f - n)};
    const double row3[4] = {0, 0, 0, 1};
    std::copy(row0, row0 + 4, rows[0]), std::copy(row1, row1 + 4, rows[1]);
    std::copy(row2, row2 + 4, rows[2]), std::copy(row3, row3 + 4, rows[3]);
  }
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) picture.projection[col * 4 + row] = rows[row][col];
}

double rasterArea(const CameraOptions &options, const Frame &frame, const Mat4 &objectToCamera,
                  const float bound[6]) {
  const double k = options.perspective ? 1 / std::tan(options.fov * M_PI / 360) : 1;
  const double *s = frame.screen;
  double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
  for (int corner = 0; corner < 8; ++corner) {
    const Vec3 p = objectToCamera.point(
        {bound[corner & 1], bound[2 + ((corner >> 1) & 1)], bound[4 + (corner >> 2)]});
    if (options.perspective && p.z <= options.hither) return 1e38;
    const double sx = options.perspective ? k * p.x / p.z : p.x;
    const double sy = options.perspective ? k * p.y / p.z : p.y;
    const double px = (sx - s[0]) / (s[1] - s[0]) * frame.viewportWidth;
    const double py = (sy - s[2]) / (s[3] - s[2]) * frame.viewportHeight;
    x0 = std::min(x0, px), x1 = std::max(x1, px), y0 = std::min(y0, py), y1 = std::max(y1, py);
  }
  return std::fabs((x1 - x0) * (y1 - y0));
}

CameraViewSpace::CameraViewSpace(const CameraOptions &options, const Frame &frame,
                                 const Mat4 &objectToCamera)
    : toCamera_(objectToCamera), fromCamera_(objectToCamera.inverse()),
      perspective_(options.perspective), stretch_(objectToCamera.largestStretch()) {
  const double perPixel =
      std::min(std::fabs(frame.screen[1] - frame.screen[0]) / frame.viewportWidth,
               std::fabs(frame.screen[3] - frame.screen[2]) / frame.viewportHeight);
  cameraPerPixel_ = perspective_ ? perPixel * std::tan(options.fov * M_PI / 360) : perPixel;
  if (!(cameraPerPixel_ > 0)) cameraPerPixel_ = 1e-3;
  zFloor_ = std::max(double(options.hither), 1e-4);
  hither_ = options.hither;
}

bool CameraViewSpace::behindEye(Vec3 p) const { return toCamera_.point(p).z < hither_; }

double CameraViewSpace::pixelSize(Vec3 p) const {
  if (!perspective_) return cameraPerPixel_ / stretch_;
  const double z = std::max(toCamera_.point(p).z, zFloor_);
  return cameraPerPixel_ * z / stretch_;
}

Vec3 CameraViewSpace::towardEye(Vec3 p) const {
  const Vec3 toEye = perspective_ ? Vec3{} - toCamera_.point(p) : Vec3{0, 0, -1};
  const Vec3 v = normalized(fromCamera_.vector(toEye));
  return length(v) > 0 ? v : Vec3{0, 0, -1};
}

} // namespace view
