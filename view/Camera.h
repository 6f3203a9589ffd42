// Camera.h - the camera as RenderMan defines it: the options that shape the picture (Format,
// FrameAspectRatio, ScreenWindow, Projection, Clipping) and the transformation given before
// WorldBegin, which takes world space to camera space (left-handed: x right, y up, z into the
// picture).
//
//     view::CameraOptions options;             // 640x480, orthographic, screen [-4/3,4/3]x[-1,1]
//     view::Frame frame = view::frameOf(options, {});
//     view::fillProjection(options, frame, 0.1, 100, picture);
#pragma once

#include "Matrix.h"
#include "Picture.h"
#include "ViewContext.h"
#include "ViewSpace.h"

namespace view {

struct CameraOptions {
  int xResolution = 640, yResolution = 480;
  double pixelAspect = 1;
  double frameAspect = 0; // 0: from the resolution and the pixel aspect
  bool screenGiven = false;
  double screen[4] = {-1, 1, -1, 1}; // left, right, bottom, top
  bool perspective = false;
  double fov = 90;                    // degrees, the full angle across the screen window's [-1, 1]
  double hither = RI_EPSILON, yon = RI_INFINITY;
  Mat4 worldToCamera;                 // the transformation at WorldBegin
};

/// Where the frame lies on the picture and the screen window it shows.
struct Frame {
  int width = 640, height = 480;                  // the picture
  int viewportX = 0, viewportY = 0, viewportWidth = 640, viewportHeight = 480;
  double screen[4] = {-4.0 / 3, 4.0 / 3, -1, 1};  // left, right, bottom, top
  double aspect = 4.0 / 3;                        // the frame aspect ratio
};

Frame frameOf(const CameraOptions &options, const ViewOptions &view);

/// The depth range drawn: the Clipping range, with an infinite far plane (or the default near
/// plane) brought in to what the picture holds, camera-space depths `nearest` to `farthest`
/// (nearest > farthest when the picture is empty).
void depthRange(const CameraOptions &options, double nearest, double farthest, double &zNear,
                double &zFar);

/// Fills the picture's size, viewport and projection.
void fillProjection(const CameraOptions &options, const Frame &frame, double zNear, double zFar,
                    Picture &picture);

/// The raster area in pixels of the box `bound` (xmin, xmax, ymin, ymax, zmin, zmax) drawn through
/// `objectToCamera`: the measure of level of detail. A box reaching the eye plane is endless.
double rasterArea(const CameraOptions &options, const Frame &frame, const Mat4 &objectToCamera,
                  const float bound[6]);

/// A ViewSpace for a primitive drawn through `objectToCamera`.
class CameraViewSpace : public ViewSpace {
public:
  CameraViewSpace(const CameraOptions &options, const Frame &frame, const Mat4 &objectToCamera);
  double pixelSize(Vec3 p) const override;
  Vec3 towardEye(Vec3 p) const override;
  bool behindEye(Vec3 p) const override;

private:
  Mat4 toCamera_, fromCamera_;
  bool perspective_;
  double cameraPerPixel_; // camera-space length per pixel at depth 1 (perspective) or anywhere
  double stretch_;
  double zFloor_;
  double hither_;
};

} // namespace view
