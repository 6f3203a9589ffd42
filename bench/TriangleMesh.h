// TriangleMesh.h - the 1,000,000-triangle mesh that the RIB benchmarks write and read: 1000 x 500
// quads of two triangles each over a 1001 x 501 vertex grid, with "P" and "N" per vertex.
#pragma once

#include <cstddef>
#include <random>
#include <vector>

#include "rib/ri.h"

namespace ribbench {

constexpr int kQuadsAcross = 1000;
constexpr int kQuadsDown = 500;

struct TriangleMesh {
  std::vector<RtInt> nvertices; // 3 per triangle
  std::vector<RtInt> vertices;  // indices into the grid
  std::vector<RtFloat> P;       // 3 per grid point
  std::vector<RtFloat> N;
  int triangles() const { return static_cast<int>(nvertices.size()); }
};

// The numbers of P and N follow the float array case's mix of magnitudes (coordinates, unit
// values, whole numbers, tiny and large values): printing and reading costs depend on the digits,
// so ratios only compare when the numbers are alike.
inline std::vector<RtFloat> sceneNumbers(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<RtFloat> v(count);
  for (size_t i = 0; i < count; ++i) {
    switch (i % 5) {
    case 0: v[i] = coordinate(random); break;
    case 1: v[i] = unit(random); break;
    case 2: v[i] = static_cast<float>(static_cast<int>(coordinate(random))); break;
    case 3: v[i] = unit(random) * 1e-5f; break;
    default: v[i] = coordinate(random) * 1000.0f; break;
    }
  }
  return v;
}

inline const TriangleMesh &mesh() {
  static const TriangleMesh built = [] {
    TriangleMesh m;
    const int across = kQuadsAcross + 1;
    const size_t points = static_cast<size_t>(across) * (kQuadsDown + 1);
    m.P = sceneNumbers(3 * points, 2026);
    m.N = sceneNumbers(3 * points, 2027);
    for (int j = 0; j < kQuadsDown; ++j) {
      for (int i = 0; i < kQuadsAcross; ++i) {
        const RtInt a = j * across + i, b = a + 1, c = a + across, d = c + 1;
        m.vertices.insert(m.vertices.end(), {a, b, c, c, b, d});
        m.nvertices.insert(m.nvertices.end(), {3, 3});
      }
    }
    return m;
  }();
  return built;
}

} // namespace ribbench
