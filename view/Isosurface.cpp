#include "Isosurface.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace view {
namespace {

// The six tetrahedra of a cell around its main diagonal (corner bits: 1 x, 2 y, 4 z); the same
// split in every cell makes neighbouring cells agree on their shared faces.
constexpr int kTetrahedra[6][4] = {{0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7},
                                   {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}};

struct Polygonizer {
  ScalarField &field;
  double threshold;
  Vec3 origin;
  double h;
  int n[3];
  Mesh &mesh;
  std::unordered_map<uint64_t, uint32_t> edgeVertex;

  Vec3 gridPoint(int i, int j, int k) const { return origin + Vec3{i * h, j * h, k * h}; }
  uint64_t id(int i, int j, int k) const {
    return (static_cast<uint64_t>(k) * (n[1] + 1) + j) * (n[0] + 1) + i;
  }
  double value(Vec3 p) { return field.value(p); }

  // The surface point on the grid edge between two points of opposite sides, found by a few
  // steps of false position on the field itself.
  uint32_t vertexOn(uint64_t ida, Vec3 a, double fa, uint64_t idb, Vec3 b, double fb) {
    const uint64_t key = std::min(ida, idb) * 0x100000000ull + std::max(ida, idb);
    const auto found = edgeVertex.find(key);
    if (found != edgeVertex.end())
      return found->second;
    Vec3 p = a;
    for (int iteration = 0; iteration < 4; ++iteration) {
      const double t = (threshold - fa) / (fb - fa);
      p = a + (b - a) * t;
      const double fp = value(p);
      if ((fp > threshold) == (fa > threshold)) {
        a = p;
        fa = fp;
      } else {
        b = p;
        fb = fp;
      }
    }
    const uint32_t v = mesh.addVertex(p);
    edgeVertex.emplace(key, v);
    return v;
  }

  void addFacing(uint32_t a, uint32_t b, uint32_t c, Vec3 outward) {
    const Vec3 n = cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
    if (dot(n, outward) >= 0)
      mesh.addTriangle(a, b, c);
    else
      mesh.addTriangle(a, c, b);
  }

  void tetrahedron(const uint64_t ids[4], const Vec3 p[4], const double f[4]) {
    int in[4], out[4], nin = 0, nout = 0;
    for (int k = 0; k < 4; ++k)
      (f[k] > threshold ? in[nin++] : out[nout++]) = k;
    if (nin == 0 || nout == 0)
      return;
    Vec3 outward;
    for (int k = 0; k < nout; ++k)
      outward = outward + p[out[k]] * (1.0 / nout);
    for (int k = 0; k < nin; ++k)
      outward = outward - p[in[k]] * (1.0 / nin);
    auto cut = [&](int i, int o) { return vertexOn(ids[i], p[i], f[i], ids[o], p[o], f[o]); };
    if (nin == 1 || nout == 1) {
      const int lone = nin == 1 ? in[0] : out[0];
      const int *others = nin == 1 ? out : in;
      addFacing(cut(lone, others[0]), cut(lone, others[1]), cut(lone, others[2]), outward);
    } else {
      const uint32_t ac = cut(in[0], out[0]), ad = cut(in[0], out[1]), bd = cut(in[1], out[1]),
                     bc = cut(in[1], out[0]);
      addFacing(ac, ad, bd, outward);
      addFacing(ac, bd, bc, outward);
    }
  }

  void run() {
    std::vector<double> below((n[0] + 1) * (n[1] + 1)), above(below.size());
    auto fillLayer = [&](int k, std::vector<double> &layer) {
      for (int j = 0; j <= n[1]; ++j)
        for (int i = 0; i <= n[0]; ++i)
          layer[j * (n[0] + 1) + i] = value(gridPoint(i, j, k));
    };
    fillLayer(0, below);
    for (int k = 0; k < n[2]; ++k) {
      fillLayer(k + 1, above);
      for (int j = 0; j < n[1]; ++j)
        for (int i = 0; i < n[0]; ++i) {
          uint64_t ids[8];
          Vec3 p[8];
          double f[8];
          for (int c = 0; c < 8; ++c) {
            const int ci = i + (c & 1), cj = j + (c >> 1 & 1), ck = k + (c >> 2 & 1);
            ids[c] = id(ci, cj, ck);
            p[c] = gridPoint(ci, cj, ck);
            f[c] = (c & 4 ? above : below)[cj * (n[0] + 1) + ci];
          }
          for (const auto &tet : kTetrahedra) {
            const uint64_t tid[4] = {ids[tet[0]], ids[tet[1]], ids[tet[2]], ids[tet[3]]};
            const Vec3 tp[4] = {p[tet[0]], p[tet[1]], p[tet[2]], p[tet[3]]};
            const double tf[4] = {f[tet[0]], f[tet[1]], f[tet[2]], f[tet[3]]};
            tetrahedron(tid, tp, tf);
          }
        }
      below.swap(above);
    }
  }
};

} // namespace

void polygonize(ScalarField &field, double threshold, Vec3 origin, double h, const int n[3],
                Mesh &mesh) {
  Polygonizer grid{field, threshold, origin, h, {n[0], n[1], n[2]}, mesh, {}};
  grid.run();
}

} // namespace view
