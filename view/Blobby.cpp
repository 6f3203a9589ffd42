#include "Blobby.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace view {
namespace {

constexpr double kThreshold = 0.5;
// The field of a leaf is (1 - r^2)^3 in its unit space, so a lone leaf's surface is the sphere
// of radius sqrt(1 - 0.5^(1/3)) there.
const double kLoneRadius = std::sqrt(1 - std::cbrt(kThreshold));
constexpr int kMaxCells = 192;          // grid cells along the longest side
constexpr double kMaxEvaluations = 6e7; // grid points times leaves

enum Op { Add = 0, Multiply = 1, Max = 2, Min = 3, Subtract = 4, Divide = 5, Negate = 6, Identity = 7,
          Constant = 1000, Ellipsoid = 1001, Segment = 1002, Plane = 1003 };

// A 4x4 matrix as RenderMan writes it: rows, points as row vectors ([x y z 1] M).
using Matrix = std::array<double, 16>;

Vec3 transform(const Matrix &m, Vec3 p) {
  return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
          p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

// The inverse of an affine matrix (last column 0 0 0 1); false when it is singular.
bool invertAffine(const Matrix &m, Matrix &inv) {
  const double a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
  const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  if (!(std::fabs(det) > 1e-300))
    return false;
  const double s = 1 / det;
  inv = {(e * i - f * h) * s, (c * h - b * i) * s, (b * f - c * e) * s, 0,
         (f * g - d * i) * s, (a * i - c * g) * s, (c * d - a * f) * s, 0,
         (d * h - e * g) * s, (b * g - a * h) * s, (a * e - b * d) * s, 0,
         0, 0, 0, 1};
  const Vec3 t = transform(inv, {m[12], m[13], m[14]});
  inv[12] = -t.x;
  inv[13] = -t.y;
  inv[14] = -t.z;
  return true;
}

// One instruction of the code: a leaf with its shape, or an operator over earlier results.
struct Instruction {
  int op = 0;
  std::vector<int> operands;
  double constant = 0;
  Matrix toUnit{};         // object space to the leaf's unit space
  Vec3 a, b;               // a segment's ends, in its own space
  double invRadius2 = 1;
  int leaf = -1;           // which leaf, for its colour
};

struct Field {
  std::vector<Instruction> code;
  int nleaves = 0;
  Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
  double smallest = 1e300; // the smallest reach of a shaped leaf, in object space

  void include(Vec3 p) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }

  // The value of every instruction at p (into `values`); the field is the last one's.
  double evaluate(Vec3 p, std::vector<double> &values) const {
    for (size_t i = 0; i < code.size(); ++i) {
      const Instruction &in = code[i];
      double v = 0;
      switch (in.op) {
      case Constant:
        v = in.constant;
        break;
      case Ellipsoid:
      case Segment: {
        const Vec3 q = transform(in.toUnit, p);
        double r2;
        if (in.op == Ellipsoid) {
          r2 = dot(q, q);
        } else {
          const Vec3 ab = in.b - in.a;
          const double len2 = dot(ab, ab);
          const double t = len2 > 0 ? std::clamp(dot(q - in.a, ab) / len2, 0.0, 1.0) : 0;
          const Vec3 d = q - (in.a + ab * t);
          r2 = dot(d, d) * in.invRadius2;
        }
        v = r2 < 1 ? (1 - r2) * (1 - r2) * (1 - r2) : 0;
        break;
      }
      case Plane:
        v = 0; // repelling planes are not drawn
        break;
      case Add:
      case Multiply:
      case Max:
      case Min:
        v = values[in.operands[0]];
        for (size_t k = 1; k < in.operands.size(); ++k) {
          const double w = values[in.operands[k]];
          v = in.op == Add ? v + w : in.op == Multiply ? v * w : in.op == Max ? std::max(v, w) : std::min(v, w);
        }
        break;
      case Subtract:
        v = values[in.operands[0]] - values[in.operands[1]];
        break;
      case Divide: {
        const double d = values[in.operands[1]];
        v = d != 0 ? values[in.operands[0]] / d : 0;
        break;
      }
      case Negate:
        v = -values[in.operands[0]];
        break;
      case Identity:
        v = values[in.operands[0]];
        break;
      }
      values[i] = v;
    }
    return values.back();
  }
};

// Reads the code into instructions; false on anything that reads past an array, names a later
// result, or is not an instruction.
bool compile(const BlobbyArgs &args, Field &field) {
  if (args.ncode <= 0 || !args.code || args.nflt < 0 || (args.nflt > 0 && !args.flt))
    return false;
  int pos = 0;
  while (pos < args.ncode) {
    Instruction in;
    in.op = args.code[pos];
    const int current = static_cast<int>(field.code.size());
    auto word = [&](int k, int &out) {
      if (pos + k >= args.ncode)
        return false;
      out = args.code[pos + k];
      return true;
    };
    auto floats = [&](int index, int count) {
      return index >= 0 && count <= args.nflt && index <= args.nflt - count;
    };
    int index = 0, count = 0, words = 0;
    switch (in.op) {
    case Add:
    case Multiply:
    case Max:
    case Min:
      if (!word(1, count) || count < 1 || count > args.ncode - pos - 2)
        return false;
      words = 2 + count;
      for (int k = 0; k < count; ++k)
        in.operands.push_back(args.code[pos + 2 + k]);
      break;
    case Subtract:
    case Divide:
      if (pos + 2 >= args.ncode)
        return false;
      in.operands = {args.code[pos + 1], args.code[pos + 2]};
      words = 3;
      break;
    case Negate:
    case Identity:
      if (!word(1, index))
        return false;
      in.operands = {index};
      words = 2;
      break;
    case Constant:
    case Ellipsoid:
    case Segment: {
      const int need = in.op == Constant ? 1 : in.op == Ellipsoid ? 16 : 23;
      if (!word(1, index) || !floats(index, need))
        return false;
      const RtFloat *f = args.flt + index;
      in.leaf = field.nleaves++;
      words = 2;
      if (in.op == Constant) {
        in.constant = f[0];
        break;
      }
      Matrix m;
      std::copy(f + need - 16, f + need, m.begin());
      if (!invertAffine(m, in.toUnit))
        return false;
      // The leaf's reach: its unit ball (around the segment) in object space, by its corners.
      double reach = 1;
      Vec3 lo{-1, -1, -1}, hi{1, 1, 1};
      if (in.op == Segment) {
        in.a = {f[0], f[1], f[2]};
        in.b = {f[3], f[4], f[5]};
        if (!(f[6] > 0))
          return false;
        in.invRadius2 = 1.0 / (double(f[6]) * f[6]);
        reach = f[6];
        lo = Vec3{std::min(in.a.x, in.b.x), std::min(in.a.y, in.b.y), std::min(in.a.z, in.b.z)} - Vec3{reach, reach, reach};
        hi = Vec3{std::max(in.a.x, in.b.x), std::max(in.a.y, in.b.y), std::max(in.a.z, in.b.z)} + Vec3{reach, reach, reach};
      }
      for (int corner = 0; corner < 8; ++corner)
        field.include(transform(m, {corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z}));
      for (int axis = 0; axis < 3; ++axis) // the shortest of the matrix's axes
        field.smallest = std::min(field.smallest, reach * length({m[axis * 4], m[axis * 4 + 1], m[axis * 4 + 2]}));
      break;
    }
    case Plane:
      if (pos + 2 >= args.ncode || !floats(args.code[pos + 2], 4))
        return false;
      in.leaf = field.nleaves++;
      words = 3;
      break;
    default:
      return false;
    }
    for (int operand : in.operands)
      if (operand < 0 || operand >= current)
        return false;
    field.code.push_back(in);
    pos += words;
  }
  return !field.code.empty();
}

// The six tetrahedra of a cell around its main diagonal (corner bits: 1 x, 2 y, 4 z); the same
// split in every cell makes neighbouring cells agree on their shared faces.
constexpr int kTetrahedra[6][4] = {{0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7},
                                   {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}};

struct Polygonizer {
  const Field &field;
  Vec3 origin;
  double h;
  int n[3];
  Mesh &mesh;
  std::unordered_map<uint64_t, uint32_t> edgeVertex;
  std::vector<double> scratch;

  Vec3 gridPoint(int i, int j, int k) const { return origin + Vec3{i * h, j * h, k * h}; }
  uint64_t id(int i, int j, int k) const {
    return (static_cast<uint64_t>(k) * (n[1] + 1) + j) * (n[0] + 1) + i;
  }
  double value(Vec3 p) { return field.evaluate(p, scratch); }

  // The surface point on the grid edge between two points of opposite sides, found by a few
  // steps of false position on the field itself.
  uint32_t vertexOn(uint64_t ida, Vec3 a, double fa, uint64_t idb, Vec3 b, double fb) {
    const uint64_t key = std::min(ida, idb) * 0x100000000ull + std::max(ida, idb);
    const auto found = edgeVertex.find(key);
    if (found != edgeVertex.end())
      return found->second;
    Vec3 p = a;
    for (int iteration = 0; iteration < 4; ++iteration) {
      const double t = (kThreshold - fa) / (fb - fa);
      p = a + (b - a) * t;
      const double fp = value(p);
      if ((fp > kThreshold) == (fa > kThreshold)) {
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
      (f[k] > kThreshold ? in[nin++] : out[nout++]) = k;
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

bool tessellateBlobby(const BlobbyArgs &args, const PrimVars &vars, const ViewSpace &view,
                      Mesh &mesh) {
  Field field;
  if (!compile(args, field))
    return false;
  if (field.lo.x > field.hi.x) // no leaf with a shape: nothing to see
    return true;

  // Cells fine enough for the tolerance where the blob is nearest, and for its smallest leaf.
  const Vec3 centre = (field.lo + field.hi) * 0.5;
  double tolerance = view.tolerance(centre);
  for (const Instruction &in : field.code)
    if (in.op == Ellipsoid || in.op == Segment) {
      Matrix toObject;
      invertAffine(in.toUnit, toObject);
      tolerance = std::min(tolerance, view.tolerance(transform(toObject, in.a)));
    }
  const double radius = kLoneRadius * field.smallest;
  double h = std::min(std::sqrt(8 * std::max(tolerance, 1e-12) * radius), radius / 2);
  const Vec3 size = field.hi - field.lo;
  const double longest = std::max({size.x, size.y, size.z});
  // Within the caps: cells per side, field evaluations, and triangles (about four per cell of
  // the bounding box's surface, a generous guess for the blob's own).
  const double evaluations = static_cast<double>(field.code.size());
  const double boxArea = 2 * (size.x * size.y + size.y * size.z + size.z * size.x);
  h = std::max({h, longest / kMaxCells,
                std::cbrt(size.x * size.y * size.z * evaluations / kMaxEvaluations),
                std::sqrt(4 * boxArea / std::max<double>(static_cast<double>(view.maxTriangles), 1))});

  // The grid reaches a cell past the leaves' reach, so that the surface closes inside it.
  Polygonizer grid{field, field.lo - Vec3{h, h, h}, h, {}, mesh, {}, std::vector<double>(field.code.size())};
  grid.n[0] = static_cast<int>(std::ceil(size.x / h)) + 2;
  grid.n[1] = static_cast<int>(std::ceil(size.y / h)) + 2;
  grid.n[2] = static_cast<int>(std::ceil(size.z / h)) + 2;
  const uint32_t first = static_cast<uint32_t>(mesh.positions.size());
  mesh.normals.resize(first);
  grid.run();

  // Shading normals down the field's slope; colours blended by each leaf's share of the field.
  const double step = h * 1e-2;
  for (uint32_t v = first; v < mesh.positions.size(); ++v) {
    const Vec3 p = mesh.positions[v];
    const Vec3 gradient{grid.value(p + Vec3{step, 0, 0}) - grid.value(p - Vec3{step, 0, 0}),
                        grid.value(p + Vec3{0, step, 0}) - grid.value(p - Vec3{0, step, 0}),
                        grid.value(p + Vec3{0, 0, step}) - grid.value(p - Vec3{0, 0, step})};
    mesh.normals.push_back(normalized(gradient * -1.0));
  }
  const PrimVar *looks[2] = {&vars.Cs, &vars.Os};
  std::vector<Color> *targets[2] = {&mesh.colors, &mesh.opacities};
  for (int k = 0; k < 2; ++k) {
    const PrimVar &var = *looks[k];
    if (!var.given())
      continue;
    targets[k]->resize(first);
    for (uint32_t v = first; v < mesh.positions.size(); ++v) {
      if (var.storage == VarClass::Constant) {
        targets[k]->push_back({var.values[0], var.values[1], var.values[2]});
        continue;
      }
      grid.value(mesh.positions[v]);
      double sum = 0, rgb[3] = {0, 0, 0};
      for (size_t i = 0; i < field.code.size(); ++i) {
        const Instruction &in = field.code[i];
        if (in.leaf < 0 || in.op == Constant || grid.scratch[i] <= 0)
          continue;
        for (int c = 0; c < 3; ++c)
          rgb[c] += grid.scratch[i] * var.at(in.leaf)[c];
        sum += grid.scratch[i];
      }
      const float *fallback = var.at(0);
      targets[k]->push_back(sum > 0 ? Color{float(rgb[0] / sum), float(rgb[1] / sum), float(rgb[2] / sum)}
                                    : Color{fallback[0], fallback[1], fallback[2]});
    }
  }
  return true;
}

} // namespace view
