// ViewContext.h - the RiContext that looks at a RIB stream: it keeps the camera and the graphics
// state as a renderer would, cuts every primitive into triangles (the tessellators of this folder),
// shades them and hands over one Picture at each WorldEnd.
//
// What a picture shows, and what it leaves out:
// - the camera of Format, FrameAspectRatio, ScreenWindow, Projection ("perspective" with its
//   "fov", else orthographic), Clipping and the transformations before WorldBegin; CropWindow,
//   depth of field and motion blur are not drawn (a motion block draws its first sample);
// - every primitive, cut finely enough for its silhouette to stay within about a pixel;
//   ObjectInstance draws the object's primitives, a solid its parts; ReadArchive and
//   DelayedReadArchive read the file (from the including file's folder, then the working folder;
//   a file that includes itself is a problem, not read again); RunProgram and DynamicLoad are
//   never run: their bound is drawn as lines and a note says so; of the representations that
//   DetailRange tells apart, the one for the Detail bound's raster area;
// - Color, Opacity, Cs, Os and N; Sides 1 culls back faces; "constant" surfaces are unlit, every
//   other surface is matte (Ka, Kd) under the standard lights (Shading.h), or under a light at the
//   eye when the world has none. Polygons without N are flat, other surfaces smooth.
// A problem with a request is reported as the library reports errors (the reader makes it a
// problem of the request's line); something not drawn is a note of that line.
//
//     view::ViewContext scene({}, [&](view::Picture &&picture) { pictures.push_back(picture); });
//     scene.setInputName("scene.rib");          // ReadArchive paths are relative to its folder
//     int problems = rib::readRib("scene.rib", scene);
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Picture.h"
#include "rib/RiContext.h"

namespace view {

struct ViewOptions {
  /// The picture's size in pixels instead of the Format resolution (0: Format's, or 640x480).
  int width = 0, height = 0;
};

class ViewContext : public RiContext {
public:
  using PictureDone = std::function<void(Picture &&)>;

  ViewContext(const ViewOptions &options, PictureDone pictureDone);
  ~ViewContext() override;
  ViewContext(const ViewContext &) = delete;
  ViewContext &operator=(const ViewContext &) = delete;

  /// The input being read (a path, or "-"), whose folder relative archive paths start from.
  void setInputName(const std::string &name);

#include "rib/RiContextOverrides.def"

  struct State;

private:
  std::unique_ptr<State> state_;
};

} // namespace view
