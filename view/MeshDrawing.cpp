#include "MeshDrawing.h"

#include <cmath>

namespace view {
namespace {

// +1 when a triangle's numeric normal in camera space, (b - a) x (c - a), is the side the
// primitive shows as its outside; -1 when it is the other. The tessellators wind triangles by
// the primitive's own normal in object space, which a transformation that changes handedness
// turns over; "inside" turns it over again; "lh" and "rh" name the side in camera space (which is
// left-handed) whatever the transformation does.
double outsideSign(const DrawState &state) {
  const bool mirrored = state.objectToCamera.determinant3() < 0;
  switch (state.orientation) {
  case Orientation::Outside:
    return mirrored ? -1 : 1;
  case Orientation::Inside:
    return mirrored ? 1 : -1;
  case Orientation::LeftHanded:
    return 1;
  case Orientation::RightHanded:
    return -1;
  }
  return 1;
}

} // namespace

void drawMesh(const Mesh &mesh, const DrawState &state, Picture &picture, DepthExtent &depth) {
  const size_t count = mesh.positions.size();
  std::vector<Vec3> p(count);
  for (size_t i = 0; i < count; ++i) p[i] = state.objectToCamera.point(mesh.positions[i]);

  // Normals: given ones through the inverse transpose, else the triangles' around each vertex.
  std::vector<Vec3> n(count);
  if (mesh.normals.size() == count) {
    const Mat4 normalMatrix = state.objectToCamera.inverse().transposed();
    for (size_t i = 0; i < count; ++i) n[i] = normalMatrix.vector(mesh.normals[i]);
  } else {
    for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
      const uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
      const Vec3 face = cross(p[b] - p[a], p[c] - p[a]);
      n[a] = n[a] + face, n[b] = n[b] + face, n[c] = n[c] + face;
    }
  }

  const double sign = outsideSign(state);
  std::vector<char> drawn(count, 0);
  std::vector<uint32_t> kept;
  kept.reserve(mesh.triangles.size());
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    const uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
    if (a >= count || b >= count || c >= count) continue;
    if (state.sides == 1) {
      const Vec3 outside = cross(p[b] - p[a], p[c] - p[a]) * sign;
      const Vec3 toEye = state.perspective ? Vec3{} - p[a] : Vec3{0, 0, -1};
      if (dot(outside, toEye) <= 0) continue;
    }
    kept.insert(kept.end(), {a, b, c});
    drawn[a] = drawn[b] = drawn[c] = 1;
  }
  for (size_t l = 0; l + 1 < mesh.lines.size(); l += 2)
    if (mesh.lines[l] < count && mesh.lines[l + 1] < count)
      drawn[mesh.lines[l]] = drawn[mesh.lines[l + 1]] = 1;

  std::vector<DrawVertex> shaded(count);
  for (size_t i = 0; i < count; ++i) {
    if (!drawn[i]) continue;
    const Color cs = mesh.colors.size() == count ? mesh.colors[i] : state.color;
    const Color os = mesh.opacities.size() == count ? mesh.opacities[i] : state.opacity;
    const Color ci = shade(state.look, state.lights, p[i], n[i], state.perspective, cs, os);
    const float alpha = (os.r + os.g + os.b) / 3;
    shaded[i] = {float(p[i].x), float(p[i].y), float(p[i].z), ci.r, ci.g, ci.b, alpha};
    depth.add(p[i].z);
  }
  for (uint32_t index : kept) picture.triangles.push_back(shaded[index]);
  // Lines are wires: their colour as it is, unlit.
  for (size_t l = 0; l + 1 < mesh.lines.size(); l += 2) {
    if (mesh.lines[l] >= count || mesh.lines[l + 1] >= count) continue;
    for (int k = 0; k < 2; ++k) {
      const uint32_t i = mesh.lines[l + k];
      const Color cs = mesh.colors.size() == count ? mesh.colors[i] : state.color;
      const Color os = mesh.opacities.size() == count ? mesh.opacities[i] : state.opacity;
      DrawVertex v = shaded[i];
      v.r = cs.r * os.r, v.g = cs.g * os.g, v.b = cs.b * os.b, v.a = (os.r + os.g + os.b) / 3;
      picture.lines.push_back(v);
    }
  }
}

} // namespace view
