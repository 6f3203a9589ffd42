#include "Blobby.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Isosurface.h"

namespace view {
namespace {

constexpr double kThreshold = 0.5;
// The field of a leaf is (1 - r^2)^3 in its unit space, so a lone leaf's surface is the sphere
// of radius sqrt(1 - 0.5^(1/3)) there.
const double kLoneRadius = std::sqrt(1 - std::cbrt(kThreshold));
constexpr int kMaxCells = 192;          // grid cells along the longest side
constexpr int kBinsPerSide = 32;        // leaf bins along the longest side
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
  Vec3 lo, hi;             // a shaped leaf's reach in object space: zero outside
};

bool shaped(const Instruction &in) { return in.op == Ellipsoid || in.op == Segment; }

// A shaped leaf's value at p: (1 - r^2)^3 within its reach.
double leafValue(const Instruction &in, Vec3 p) {
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
  return r2 < 1 ? (1 - r2) * (1 - r2) * (1 - r2) : 0;
}

// The field of a Blobby's code. Each shaped leaf is zero outside its box, so a point only
// evaluates the leaves of the bin it falls in; a code that only adds its leaves (the usual one)
// then costs as many leaves as overlap there, however many the Blobby has.
struct Field : ScalarField {
  std::vector<Instruction> code;
  int nleaves = 0;
  Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
  double smallest = 1e300; // the smallest reach of a shaped leaf, in object space
  bool sumOfLeaves = false; // the last instruction adds every leaf once, and nothing else is done
  double constantSum = 0;   // then: the constant leaves' share

  // The bins: a coarse grid over the bound, each with the shaped leaves whose boxes reach it.
  int nbins[3] = {1, 1, 1};
  Vec3 binSize{1, 1, 1};
  std::vector<std::vector<int>> bins;
  std::vector<double> values; // per instruction; shaped leaves' entries kept at zero between uses

  void include(Vec3 p) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }

  void prepare(int binsPerSide) {
    const Vec3 size = hi - lo;
    const double longest = std::max({size.x, size.y, size.z, 1e-300});
    const double along[3] = {size.x, size.y, size.z};
    double *cell[3] = {&binSize.x, &binSize.y, &binSize.z};
    for (int a = 0; a < 3; ++a) {
      nbins[a] = std::clamp(static_cast<int>(std::ceil(binsPerSide * along[a] / longest)), 1, binsPerSide);
      *cell[a] = std::max(along[a], 1e-300) / nbins[a];
    }
    bins.assign(static_cast<size_t>(nbins[0]) * nbins[1] * nbins[2], {});
    for (size_t i = 0; i < code.size(); ++i) {
      if (!shaped(code[i]))
        continue;
      int from[3], to[3];
      binRange(code[i].lo, from);
      binRange(code[i].hi, to);
      for (int z = from[2]; z <= to[2]; ++z)
        for (int y = from[1]; y <= to[1]; ++y)
          for (int x = from[0]; x <= to[0]; ++x)
            bins[(static_cast<size_t>(z) * nbins[1] + y) * nbins[0] + x].push_back(static_cast<int>(i));
    }
    values.assign(code.size(), 0.0);

    const Instruction &last = code.back();
    sumOfLeaves = last.op == Add && last.operands.size() + 1 == code.size();
    std::vector<bool> seen(code.size());
    for (int operand : last.operands) {
      sumOfLeaves = sumOfLeaves && code[operand].leaf >= 0 && !seen[operand];
      seen[operand] = true;
      if (code[operand].op == Constant)
        constantSum += code[operand].constant;
    }
  }

  void binRange(Vec3 p, int out[3]) const {
    const double at[3] = {(p.x - lo.x) / binSize.x, (p.y - lo.y) / binSize.y, (p.z - lo.z) / binSize.z};
    for (int a = 0; a < 3; ++a)
      out[a] = std::clamp(static_cast<int>(std::floor(at[a])), 0, nbins[a] - 1);
  }

  const std::vector<int> *binOf(Vec3 p) const {
    if (p.x < lo.x || p.y < lo.y || p.z < lo.z || p.x > hi.x || p.y > hi.y || p.z > hi.z)
      return nullptr; // beyond every leaf's reach
    int b[3];
    binRange(p, b);
    return &bins[(static_cast<size_t>(b[2]) * nbins[1] + b[1]) * nbins[0] + b[0]];
  }

  static bool inside(const Instruction &in, Vec3 p) {
    return p.x >= in.lo.x && p.y >= in.lo.y && p.z >= in.lo.z && p.x <= in.hi.x && p.y <= in.hi.y &&
           p.z <= in.hi.z;
  }

  double value(Vec3 p) override {
    const std::vector<int> *near = binOf(p);
    if (sumOfLeaves) {
      double sum = constantSum;
      if (near)
        for (int i : *near)
          if (inside(code[i], p))
            sum += leafValue(code[i], p);
      return sum;
    }
    return evaluate(p, [](double) {});
  }

  // Every instruction's value at p, each shaped leaf's handed to `seen` with its index; the
  // field is the last one's.
  template <class Seen> double evaluate(Vec3 p, Seen seen) {
    const std::vector<int> *near = binOf(p);
    if (near)
      for (int i : *near)
        if (inside(code[i], p) && (values[i] = leafValue(code[i], p)) > 0)
          seen(i);
    for (size_t i = 0; i < code.size(); ++i) {
      const Instruction &in = code[i];
      double v = 0;
      switch (in.op) {
      case Ellipsoid:
      case Segment:
        continue; // done above
      case Constant:
        v = in.constant;
        break;
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
    const double result = values.back();
    if (near)
      for (int i : *near)
        values[i] = 0;
    return result;
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
      in.lo = Vec3{1e300, 1e300, 1e300};
      in.hi = Vec3{-1e300, -1e300, -1e300};
      for (int corner = 0; corner < 8; ++corner) {
        const Vec3 q = transform(m, {corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z});
        field.include(q);
        in.lo = {std::min(in.lo.x, q.x), std::min(in.lo.y, q.y), std::min(in.lo.z, q.z)};
        in.hi = {std::max(in.hi.x, q.x), std::max(in.hi.y, q.y), std::max(in.hi.z, q.z)};
      }
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
  double tolerance = view.behindEye(centre) ? 1e300 : view.tolerance(centre);
  for (const Instruction &in : field.code)
    if (in.op == Ellipsoid || in.op == Segment) {
      Matrix toObject;
      invertAffine(in.toUnit, toObject);
      const Vec3 at = transform(toObject, in.a);
      if (!view.behindEye(at))
        tolerance = std::min(tolerance, view.tolerance(at));
    }
  const double radius = kLoneRadius * field.smallest;
  double h = std::min(std::sqrt(8 * std::max(tolerance, 1e-12) * radius), radius / 2);
  const Vec3 size = field.hi - field.lo;
  const double longest = std::max({size.x, size.y, size.z});
  field.prepare(kBinsPerSide);

  // Within the caps: cells per side, field evaluations (leaves met per point, and the operators
  // unless the code only adds), and triangles (about four per cell of the bounding box's
  // surface, a generous guess for the blob's own).
  double leavesPerPoint = 0;
  for (const std::vector<int> &bin : field.bins)
    leavesPerPoint += static_cast<double>(bin.size()) / static_cast<double>(field.bins.size());
  const double perPoint = 1 + leavesPerPoint + (field.sumOfLeaves ? 0 : static_cast<double>(field.code.size()));
  const double boxArea = 2 * (size.x * size.y + size.y * size.z + size.z * size.x);
  h = std::max({h, longest / kMaxCells,
                std::cbrt(size.x * size.y * size.z * perPoint / kMaxEvaluations),
                std::sqrt(4 * boxArea / std::max<double>(static_cast<double>(view.maxTriangles), 1))});

  // The grid reaches a cell past the leaves' reach, so that the surface closes inside it.
  const int cells[3] = {static_cast<int>(std::ceil(size.x / h)) + 2,
                        static_cast<int>(std::ceil(size.y / h)) + 2,
                        static_cast<int>(std::ceil(size.z / h)) + 2};
  const uint32_t first = static_cast<uint32_t>(mesh.positions.size());
  mesh.normals.resize(first);
  polygonize(field, kThreshold, field.lo - Vec3{h, h, h}, h, cells, mesh);

  // Shading normals down the field's slope; colours blended by each leaf's share of the field.
  const double step = h * 1e-2;
  for (uint32_t v = first; v < mesh.positions.size(); ++v) {
    const Vec3 p = mesh.positions[v];
    const Vec3 gradient{field.value(p + Vec3{step, 0, 0}) - field.value(p - Vec3{step, 0, 0}),
                        field.value(p + Vec3{0, step, 0}) - field.value(p - Vec3{0, step, 0}),
                        field.value(p + Vec3{0, 0, step}) - field.value(p - Vec3{0, 0, step})};
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
      const float *fallback = var.at(0);
      if (var.storage == VarClass::Constant || var.storage == VarClass::Uniform) { // one value
        targets[k]->push_back({fallback[0], fallback[1], fallback[2]});
        continue;
      }
      double sum = 0, rgb[3] = {0, 0, 0};
      field.evaluate(mesh.positions[v], [&](int i) {
        const double weight = field.values[i];
        for (int c = 0; c < 3; ++c)
          rgb[c] += weight * var.at(field.code[i].leaf)[c];
        sum += weight;
      });
      targets[k]->push_back(sum > 0 ? Color{float(rgb[0] / sum), float(rgb[1] / sum), float(rgb[2] / sum)}
                                    : Color{fallback[0], fallback[1], fallback[2]});
    }
  }
  return true;
}

} // namespace view
