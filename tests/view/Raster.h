// Raster.h - a picture's coverage worked out without OpenGL: each triangle projected with the
// picture's own projection and viewport, and a pixel covered when its centre lies inside one.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "rib/RibRead.h"
#include "view/ViewContext.h"

namespace viewtest {

struct Coverage {
  int width = 0, height = 0;
  std::vector<char> covered; // row 0 at the bottom, as the picture's viewport counts
  bool at(int x, int y) const { return covered[size_t(y) * width + x] != 0; }
};

inline Coverage rasterise(const view::Picture &picture) {
  Coverage c;
  c.width = picture.width, c.height = picture.height;
  c.covered.assign(size_t(c.width) * c.height, 0);
  const double *m = picture.projection;
  for (size_t t = 0; t + 2 < picture.triangles.size(); t += 3) {
    double x[3], y[3];
    bool behind = false;
    for (int k = 0; k < 3; ++k) { // to window coordinates
      const view::DrawVertex &v = picture.triangles[t + k];
      const double w = m[3] * v.x + m[7] * v.y + m[11] * v.z + m[15];
      x[k] = picture.viewportX +
             ((m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12]) / w + 1) * 0.5 * picture.viewportWidth;
      y[k] = picture.viewportY + ((m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13]) / w + 1) * 0.5 *
                                     picture.viewportHeight;
      behind = behind || w <= 0;
    }
    const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (behind || area == 0) continue;
    for (int py = std::max(0, int(std::min({y[0], y[1], y[2]})));
         py <= std::min(c.height - 1, int(std::max({y[0], y[1], y[2]}))); ++py)
      for (int px = std::max(0, int(std::min({x[0], x[1], x[2]})));
           px <= std::min(c.width - 1, int(std::max({x[0], x[1], x[2]}))); ++px) {
        bool inside = true;
        for (int k = 0, j = 1; k < 3 && inside; ++k, j = (k + 1) % 3) {
          const double e = (x[j] - x[k]) * (py + 0.5 - y[k]) - (y[j] - y[k]) * (px + 0.5 - x[k]);
          inside = area > 0 ? e >= 0 : e <= 0;
        }
        if (inside) c.covered[size_t(py) * c.width + px] = 1;
      }
  }
  return c;
}

/// The pixels where `coverage` and `predicted(x, y)` (pixel centre) disagree, not counting those
/// within one pixel of the predicted edge.
inline int wrongPixels(const Coverage &coverage,
                       const std::function<bool(double, double)> &predicted) {
  int wrong = 0;
  for (int y = 0; y < coverage.height; ++y)
    for (int x = 0; x < coverage.width; ++x) {
      const bool want = predicted(x + 0.5, y + 0.5);
      if (coverage.at(x, y) == want) continue;
      bool rim = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) rim = rim || predicted(x + dx + 0.5, y + dy + 0.5) != want;
      if (!rim) ++wrong;
    }
  return wrong;
}

/// The pictures a RIB text makes, with the problems its reading reports.
struct Viewed {
  std::vector<view::Picture> pictures;
  int problems = 0;
};

inline Viewed view(const std::string &rib, view::ViewOptions options = {},
                   const std::string &name = "scene.rib") {
  Viewed viewed;
  view::ViewContext context(options, [&](view::Picture &&p) { viewed.pictures.push_back(p); });
  context.setInputName(name);
  viewed.problems = rib::readRib(rib.data(), rib.size(), name.c_str(), context);
  return viewed;
}

} // namespace viewtest
