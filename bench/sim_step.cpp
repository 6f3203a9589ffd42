// Cost of one soft-body step (computeSpringForces + integrate) per spring,
// for the world's body and for two larger lattices, against a "limit
// kernel": the same arithmetic in the same order over plain contiguous
// arrays (structure of arrays, indexes instead of pointers, no virtual
// calls). After the runs it prints ours / limit for every size and checks
// that both kernels ended in the same state, bit for bit.
//
//     build/bench/sim_step [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim/SoftBody.h"
#include "sim/SphereObstacle.h"

namespace {

constexpr double kTimeStep = 0.005;

struct Lattice {
  const char *name;
  int cellsX, cellsY, cellsZ;
  double spacing;
  int steps; // fixed, so both kernels follow the same trajectory
};

// About 245, 10,000 and 100,000 springs; all about as wide as the world's body.
const Lattice kLattices[] = {
    {"world_245", 6, 1, 2, 0.75, 40000},
    {"lattice_10k", 15, 7, 7, 0.3, 1500},
    {"lattice_100k", 44, 13, 13, 0.1, 150},
};

// The world's two spheres, in the world's order.
std::vector<Obstacle *> &worldSpheres() {
  static std::vector<Obstacle *> spheres = {new SphereObstacle(Vector3(0, -2, 0), 1.0),
                                            new SphereObstacle(Vector3(1.5, 2, 0), 1.0)};
  return spheres;
}

SoftBody *buildBody(const Lattice &lattice) {
  std::ostringstream sink; // keep the progress lines out of the report
  std::streambuf *saved = std::cout.rdbuf(sink.rdbuf());
  SoftBody *body = new SoftBody(lattice.cellsX, lattice.cellsY, lattice.cellsZ, lattice.spacing,
                                600.0, 0.01, 0.5);
  std::cout.rdbuf(saved);
  body->enableGravity();
  body->setObstacles(&worldSpheres());
  return body;
}

// FNV-1a over the bits of all positions and velocities, lattice order.
struct StateHash {
  std::uint64_t value = 1469598103934665603ull;
  void add(double d) {
    unsigned char bytes[sizeof d];
    std::memcpy(bytes, &d, sizeof d);
    for (unsigned char b : bytes) value = (value ^ b) * 1099511628211ull;
  }
};

std::map<std::string, std::uint64_t> gFinalStates; // "kernel/lattice" -> hash
std::map<std::string, size_t> gSpringCounts;       // lattice -> springs

// ---- Ours: the object model ----------------------------------------------

void stepOurs(benchmark::State &state, const Lattice &lattice) {
  SoftBody *body = buildBody(lattice);
  for (auto _ : state) {
    body->computeSpringForces();
    body->integrate(kTimeStep);
  }
  StateHash hash;
  for (auto &plane : body->nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) {
        for (double d : {p->position.x, p->position.y, p->position.z}) hash.add(d);
        for (double d : {p->velocity.x, p->velocity.y, p->velocity.z}) hash.add(d);
      }
  gFinalStates[std::string("ours/") + lattice.name] = hash.value;
  gSpringCounts[lattice.name] = body->springs.size();
  state.counters["springs"] = double(body->springs.size());
  state.counters["ns/spring"] = benchmark::Counter(double(body->springs.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// ---- The limit kernel: plain arrays --------------------------------------

struct LimitBody {
  // Nodes, in lattice order (i outermost, k innermost).
  std::vector<double> px, py, pz, vx, vy, vz, ax, ay, az;
  std::vector<double> fx, fy, fz, nx, ny, nz, ux, uy, uz; // force, normalForce, pushForce
  std::vector<double> mass, staticFriction, kineticFriction;
  std::vector<char> fixed;
  // Per node, the spring ends it gathers: first[n] .. first[n+1] into `ends`,
  // each entry 2 * spring + (0 for end a, 1 for end b).
  std::vector<int> first, ends;
  // Springs, in creation order.
  std::vector<int> ia, ib;
  std::vector<double> rest, stiffness, damping;
  std::vector<double> fax, fay, faz, fbx, fby, fbz;
  // Spheres.
  std::vector<double> cx, cy, cz, contactRadiusSquared;
  double floorY, wallMinX, wallMaxX, restitution;
  bool gravityOn;
};

// Copies a freshly built body into arrays; the arithmetic below never
// touches the objects again.
LimitBody flatten(const SoftBody &body) {
  LimitBody L;
  std::map<const MassPoint *, int> index;
  std::vector<const MassPoint *> order;
  for (auto &plane : body.nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) {
        index[p] = int(order.size());
        order.push_back(p);
      }
  std::map<const Spring *, int> springIndex;
  for (const Spring *s : body.springs) {
    springIndex[s] = int(L.ia.size());
    L.ia.push_back(index[s->a]);
    L.ib.push_back(index[s->b]);
    L.rest.push_back(s->restLength);
    L.stiffness.push_back(s->stiffness);
    L.damping.push_back(s->damping);
  }
  size_t ns = L.ia.size();
  for (auto *v : {&L.fax, &L.fay, &L.faz, &L.fbx, &L.fby, &L.fbz}) v->assign(ns, 0.0);
  for (const MassPoint *p : order) {
    L.px.push_back(p->position.x);
    L.py.push_back(p->position.y);
    L.pz.push_back(p->position.z);
    L.vx.push_back(p->velocity.x);
    L.vy.push_back(p->velocity.y);
    L.vz.push_back(p->velocity.z);
    L.nx.push_back(p->normalForce.x);
    L.ny.push_back(p->normalForce.y);
    L.nz.push_back(p->normalForce.z);
    L.ux.push_back(p->pushForce.x);
    L.uy.push_back(p->pushForce.y);
    L.uz.push_back(p->pushForce.z);
    L.mass.push_back(p->mass);
    L.staticFriction.push_back(p->staticFriction);
    L.kineticFriction.push_back(p->kineticFriction);
    L.fixed.push_back(p->fixed);
    L.first.push_back(int(L.ends.size()));
    for (size_t n = 0; n < p->springs.size(); ++n)
      L.ends.push_back(2 * springIndex[p->springs[n]] + (p->springEnds[n] == 1 ? 0 : 1));
  }
  L.first.push_back(int(L.ends.size()));
  size_t nn = order.size();
  for (auto *v : {&L.ax, &L.ay, &L.az, &L.fx, &L.fy, &L.fz}) v->assign(nn, 0.0);
  for (Obstacle *o : *body.obstacles) {
    auto *s = static_cast<SphereObstacle *>(o);
    L.cx.push_back(s->center.x);
    L.cy.push_back(s->center.y);
    L.cz.push_back(s->center.z);
    L.contactRadiusSquared.push_back(s->contactRadiusSquared);
  }
  L.floorY = body.floorY;
  L.wallMinX = body.wallMinX;
  L.wallMaxX = body.wallMaxX;
  L.restitution = body.elastic ? 1.0 : 0.0;
  L.gravityOn = body.gravityOn;
  return L;
}

void limitSprings(LimitBody &L) {
  const size_t count = L.ia.size();
  const int *__restrict ia = L.ia.data();
  const int *__restrict ib = L.ib.data();
  const double *__restrict px = L.px.data(), *__restrict py = L.py.data(),
                           *__restrict pz = L.pz.data();
  const double *__restrict vx = L.vx.data(), *__restrict vy = L.vy.data(),
                           *__restrict vz = L.vz.data();
  const double *__restrict rest = L.rest.data(), *__restrict stiffness = L.stiffness.data(),
                           *__restrict damping = L.damping.data();
  double *__restrict fax = L.fax.data(), *__restrict fay = L.fay.data(),
                     *__restrict faz = L.faz.data();
  double *__restrict fbx = L.fbx.data(), *__restrict fby = L.fby.data(),
                     *__restrict fbz = L.fbz.data();
  for (size_t s = 0; s < count; ++s) {
    const int a = ia[s], b = ib[s];
    const double ax = px[a], ay = py[a], az = pz[a], bx = px[b], by = py[b], bz = pz[b];
    double dx = ax - bx, dy = ay - by, dz = az - bz;
    double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    double k = (rest[s] - length) * stiffness[s];
    double ex = bx - ax, ey = by - ay, ez = bz - az;
    double el = std::sqrt(ex * ex + ey * ey + ez * ez);
    if (el == 0.0) {
      ex = 0.0;
      ey = 0.0;
      ez = 0.0;
    } else {
      ex = ex / el;
      ey = ey / el;
      ez = ez / el;
    }
    const double d = damping[s];
    fax[s] = -(ex * k) - vx[a] * d;
    fay[s] = -(ey * k) - vy[a] * d;
    faz[s] = -(ez * k) - vz[a] * d;
    fbx[s] = ex * k - vx[b] * d;
    fby[s] = ey * k - vy[b] * d;
    fbz[s] = ez * k - vz[b] * d;
  }
}

inline double len3(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

inline void unit3(double &x, double &y, double &z) {
  double l = len3(x, y, z);
  if (l == 0.0) {
    x = 0.0;
    y = 0.0;
    z = 0.0;
  } else {
    x = x / l;
    y = y / l;
    z = z / l;
  }
}

// Normal force, friction from the previously recorded normal force, restitution.
void limitCollide(LimitBody &L, int i, double sx, double sy, double sz) {
  double Fx = L.fx[i], Fy = L.fy[i], Fz = L.fz[i];
  double e = Fx * sx + Fy * sy + Fz * sz;
  double Nx = 0.0, Ny = 0.0, Nz = 0.0;
  if (e < 0) {
    double m = std::fabs(e);
    Nx = sx * m;
    Ny = sy * m;
    Nz = sz * m;
    double Px = L.nx[i], Py = L.ny[i], Pz = L.nz[i];
    double Vx = L.vx[i], Vy = L.vy[i], Vz = L.vz[i];
    double Tx = Fx + Px, Ty = Fy + Py, Tz = Fz + Pz;
    unit3(Tx, Ty, Tz);
    double Bx = Ty * sz - Tz * sy, By = Tz * sx - Tx * sz, Bz = Tx * sy - Ty * sx;
    double fT = Fx * Tx + Fy * Ty + Fz * Tz, fB = Fx * Bx + Fy * By + Fz * Bz;
    double Ftx = Tx * fT + Bx * fB, Fty = Ty * fT + By * fB, Ftz = Tz * fT + Bz * fB;
    double vT = Vx * Tx + Vy * Ty + Vz * Tz, vB = Vx * Bx + Vy * By + Vz * Bz;
    double Vtx = Tx * vT + Bx * vB, Vty = Ty * vT + By * vB, Vtz = Tz * vT + Bz * vB;
    double mus = L.staticFriction[i], muk = L.kineticFriction[i];
    double gx, gy, gz;
    if (len3(Ftx, Fty, Ftz) - len3(Px * mus, Py * mus, Pz * mus) > 0 ||
        len3(Vtx, Vty, Vtz) > kStickSpeed) {
      double dx = Vtx, dy = Vty, dz = Vtz;
      unit3(dx, dy, dz);
      double kin = len3(Px * muk, Py * muk, Pz * muk);
      gx = -dx * kin;
      gy = -dy * kin;
      gz = -dz * kin;
    } else {
      L.vx[i] += -Vtx;
      L.vy[i] += -Vty;
      L.vz[i] += -Vtz;
      gx = -Ftx;
      gy = -Fty;
      gz = -Ftz;
    }
    L.fx[i] += gx;
    L.fy[i] += gy;
    L.fz[i] += gz;
  }
  L.nx[i] = Nx;
  L.ny[i] = Ny;
  L.nz[i] = Nz;
  L.fx[i] += Nx;
  L.fy[i] += Ny;
  L.fz[i] += Nz;
  double vn = L.vx[i] * sx + L.vy[i] * sy + L.vz[i] * sz;
  if (vn < 0) {
    double Jx = sx * -vn, Jy = sy * -vn, Jz = sz * -vn;
    L.vx[i] += Jx;
    L.vy[i] += Jy;
    L.vz[i] += Jz;
    L.vx[i] += Jx * L.restitution;
    L.vy[i] += Jy * L.restitution;
    L.vz[i] += Jz * L.restitution;
  }
}

void limitIntegrate(LimitBody &L, double dt) {
  const int count = int(L.px.size());
  const int spheres = int(L.cx.size());
  for (int i = 0; i < count; ++i) {
    double fx = 0.0, fy = 0.0, fz = 0.0;
    if (L.gravityOn) {
      fx += 0.0;
      fy += -kGravity * L.mass[i];
      fz += 0.0;
    }
    const int *__restrict ends = L.ends.data();
    const double *__restrict fax = L.fax.data(), *__restrict fay = L.fay.data(),
                             *__restrict faz = L.faz.data();
    const double *__restrict fbx = L.fbx.data(), *__restrict fby = L.fby.data(),
                             *__restrict fbz = L.fbz.data();
    for (int e = L.first[i], last = L.first[i + 1]; e < last; ++e) {
      int s = ends[e] >> 1;
      if ((ends[e] & 1) == 0) {
        fx += fax[s];
        fy += fay[s];
        fz += faz[s];
      } else {
        fx += fbx[s];
        fy += fby[s];
        fz += fbz[s];
      }
    }
    L.fx[i] = fx + L.ux[i];
    L.fy[i] = fy + L.uy[i];
    L.fz[i] = fz + L.uz[i];
    L.ux[i] = 0.0;
    L.uy[i] = 0.0;
    L.uz[i] = 0.0;
    if (L.py[i] <= L.floorY) limitCollide(L, i, 0.0, 1.0, 0.0);
    if (L.px[i] <= L.wallMinX) limitCollide(L, i, 1.0, 0.0, 0.0);
    if (L.px[i] >= L.wallMaxX) limitCollide(L, i, -1.0, 0.0, 0.0);
    for (int o = 0; o < spheres; ++o) {
      double dx = L.px[i] - L.cx[o], dy = L.py[i] - L.cy[o], dz = L.pz[i] - L.cz[o];
      if (dx * dx + dy * dy + dz * dz <= L.contactRadiusSquared[o]) {
        unit3(dx, dy, dz);
        limitCollide(L, i, dx, dy, dz);
      }
    }
    if (L.fixed[i]) continue;
    double m = L.mass[i];
    double ax = L.fx[i] / m, ay = L.fy[i] / m, az = L.fz[i] / m;
    L.ax[i] = ax;
    L.ay[i] = ay;
    L.az[i] = az;
    L.vx[i] += ax * dt;
    L.vy[i] += ay * dt;
    L.vz[i] += az * dt;
    const double h = 0.5 * dt * dt;
    L.px[i] += L.vx[i] * dt + ax * h;
    L.py[i] += L.vy[i] * dt + ay * h;
    L.pz[i] += L.vz[i] * dt + az * h;
  }
}

void stepLimit(benchmark::State &state, const Lattice &lattice) {
  LimitBody L = flatten(*buildBody(lattice));
  for (auto _ : state) {
    limitSprings(L);
    limitIntegrate(L, kTimeStep);
  }
  StateHash hash;
  for (size_t i = 0; i < L.px.size(); ++i)
    for (double d : {L.px[i], L.py[i], L.pz[i], L.vx[i], L.vy[i], L.vz[i]}) hash.add(d);
  gFinalStates[std::string("limit/") + lattice.name] = hash.value;
  state.counters["springs"] = double(L.ia.size());
  state.counters["ns/spring"] =
      benchmark::Counter(double(L.ia.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
}

// Console output as usual, plus the best CPU time per step of every run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> best; // run name -> seconds per step

  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      std::string name = run.run_name.function_name;
      double perStep = run.cpu_accumulated_time / double(run.iterations);
      auto it = best.find(name);
      if (it == best.end() || perStep < it->second) best[name] = perStep;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

} // namespace

int main(int argc, char **argv) {
  for (const Lattice &lattice : kLattices) {
    benchmark::RegisterBenchmark((std::string("ours/") + lattice.name).c_str(), stepOurs, lattice)
        ->Iterations(lattice.steps)
        ->Repetitions(3)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("limit/") + lattice.name).c_str(), stepLimit, lattice)
        ->Iterations(lattice.steps)
        ->Repetitions(3)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%-14s %8s %14s %14s %8s %s\n", "lattice", "springs", "ours ns/spring",
              "limit ns/spring", "ratio", "same final state");
  double firstOurs = 0;
  for (const Lattice &lattice : kLattices) {
    std::string name = lattice.name;
    auto ours = reporter.best.find("ours/" + name), limit = reporter.best.find("limit/" + name);
    if (ours == reporter.best.end() || limit == reporter.best.end()) continue;
    double springs = double(gSpringCounts[name]);
    double oursPerSpring = ours->second / springs * 1e9;
    double limitPerSpring = limit->second / springs * 1e9;
    if (firstOurs == 0) firstOurs = oursPerSpring;
    bool same = gFinalStates["ours/" + name] == gFinalStates["limit/" + name];
    std::printf("%-14s %8.0f %14.2f %14.2f %8.2f %s\n", lattice.name, springs, oursPerSpring,
                limitPerSpring, oursPerSpring / limitPerSpring, same ? "yes" : "NO");
  }
  auto last = reporter.best.find(std::string("ours/") + kLattices[2].name);
  if (firstOurs > 0 && last != reporter.best.end())
    std::printf("growth of ours per spring, %s to %s: %.2fx\n", kLattices[0].name,
                kLattices[2].name,
                last->second / double(gSpringCounts[kLattices[2].name]) * 1e9 / firstOurs);
  return 0;
}
