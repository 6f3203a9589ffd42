// ViewContext.h - the RiContext that looks at a RIB stream: it keeps the camera and the graphics
// state as a renderer would, cuts every primitive into triangles (the tessellators of this folder),
// shades them and hands over one Picture at each WorldEnd.
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
