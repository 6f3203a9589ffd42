#include "MeshDrawing.h"

#include <algorithm>
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
  // Scratch arrays kept between calls: a picture of many small primitives allocates once.
  thread_local std::vector<Vec3> p, n;
  thread_local std::vector<DrawVertex> shaded;
  thread_local std::vector<uint32_t> kept;
  thread_local std::vector<char> done;
  p.resize(count);
  for (size_t i = 0; i < count; ++i) {
    p[i] = state.objectToCamera.point(mesh.positions[i]);
    depth.add(p[i].z);
  }
  const bool lit = !state.look.constant;
  const bool given = mesh.normals.size() == count;
  const bool flat = lit && mesh.flat && !given;
  const bool colors = mesh.colors.size() == count, opacities = mesh.opacities.size() == count;
  auto colorAt = [&](size_t i) { return colors ? mesh.colors[i] : state.color; };
  auto opacityAt = [&](size_t i) { return opacities ? mesh.opacities[i] : state.opacity; };
  auto vertex = [&](size_t i, Vec3 normal, bool shadeIt) {
    const Color cs = colorAt(i), os = opacityAt(i);
    const Color ci = shadeIt ? shade(state.look, state.lights, p[i], normal, state.perspective, cs, os)
                             : Color{os.r * cs.r, os.g * cs.g, os.b * cs.b};
    return DrawVertex{float(p[i].x), float(p[i].y), float(p[i].z), ci.r, ci.g, ci.b,
                      (os.r + os.g + os.b) / 3};
  };

  // Smooth surfaces: normals given (through the inverse transpose) or averaged around each vertex.
  if (lit && !flat) {
    n.assign(count, Vec3{});
    if (given) {
      const Mat4 normalMatrix = state.objectToCamera.inverse().transposed();
      for (size_t i = 0; i < count; ++i) n[i] = normalMatrix.vector(mesh.normals[i]);
    } else {
      for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
        const uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
        if (a >= count || b >= count || c >= count) continue;
        const Vec3 face = cross(p[b] - p[a], p[c] - p[a]);
        n[a] = n[a] + face, n[b] = n[b] + face, n[c] = n[c] + face;
      }
    }
  }

  // The triangles that stay (one-sided ones facing away go); flat ones shaded as they are kept.
  const double sign = outsideSign(state);
  kept.clear();
  const size_t before = picture.triangles.size();
  // Room grows by doubling: a picture of many small meshes is not copied once per mesh.
  if (flat && picture.triangles.capacity() < before + mesh.triangles.size())
    picture.triangles.reserve(std::max(before + mesh.triangles.size(), 2 * picture.triangles.capacity()));
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    const uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
    if (a >= count || b >= count || c >= count) continue;
    const Vec3 face = cross(p[b] - p[a], p[c] - p[a]);
    if (state.sides == 1) {
      const Vec3 toEye = state.perspective ? Vec3{} - p[a] : Vec3{0, 0, -1};
      if (dot(face * sign, toEye) <= 0) continue;
    }
    if (flat) {
      // One normal for the triangle, turned toward the eye as its first corner sees it.
      const Vec3 unit = facingEye(face, p[a], state.perspective);
      for (uint32_t corner : {a, b, c}) {
        const Color cs = colorAt(corner), os = opacityAt(corner);
        const Color ci = shadeFacing(state.look, state.lights, p[corner], unit, cs, os);
        picture.triangles.push_back({float(p[corner].x), float(p[corner].y), float(p[corner].z),
                                     ci.r, ci.g, ci.b, (os.r + os.g + os.b) / 3});
      }
    } else {
      kept.insert(kept.end(), {a, b, c});
    }
  }
  if (!flat && !kept.empty()) {
    shaded.resize(count);
    done.assign(count, 0);
    for (uint32_t i : kept)
      if (!done[i]) shaded[i] = vertex(i, lit ? n[i] : Vec3{}, lit), done[i] = 1;
    picture.triangles.resize(before + kept.size());
    DrawVertex *out = picture.triangles.data() + before;
    for (uint32_t index : kept) *out++ = shaded[index];
  }

  // Lines are wires: their colour as it is, unlit.
  for (size_t l = 0; l + 1 < mesh.lines.size(); l += 2) {
    if (mesh.lines[l] >= count || mesh.lines[l + 1] >= count) continue;
    for (int k = 0; k < 2; ++k) picture.lines.push_back(vertex(mesh.lines[l + k], Vec3{}, false));
  }
}

} // namespace view
