#!/usr/bin/python3
"""Writing RIB from Python: the rib module against the C++ interface and a pure-Python writer.

Two cases, each written every way into a file, checked byte for byte, then timed (best of RUNS):
  - a PointsPolygons mesh of 1,000,000 triangles with "P" and "N" from numpy float32 arrays:
    the rib module, the C++ interface (build/bench/rib_write_mesh_arrays) and a pure-Python writer;
  - 200,000 small objects (AttributeBegin; Color; Translate; Sphere "Kd"; AttributeEnd):
    the rib module and the pure-Python writer.
Then the mesh file read back: rib.read into Python objects (one rib.Request, numpy arrays) against
build/rib-cat reading it (writing to /dev/null), checked to be the same mesh.
The pure-Python writer formats the same bytes as a RIB writer in Python does: "%g" per number and
str.join. Times are the process's processor time (user and system), so that other work on a shared
machine does not count. Prints the times and the ratios.

Usage: PYTHONPATH=build/python /usr/bin/python3 python/bench/bench_rib.py [--build DIR] [--runs N]
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np
import rib

QUADS_ACROSS, QUADS_DOWN = 1000, 500  # two triangles each: 1,000,000 triangles
OBJECTS = 200000
HEADER = "##RenderMan RIB-Structure 1.0\nversion 3.03\n"


class PurePythonWriter:
    """A RIB writer in plain Python: every number formatted with "%g", pieces joined once."""

    def __init__(self, path):
        self.path = path
        self.out = [HEADER]

    def close(self):
        self.out.append("\n")
        with open(self.path, "w") as file:
            file.write("".join(self.out))

    @staticmethod
    def floats(values):
        return "[" + " ".join(["%g" % v for v in values]) + "]"

    @staticmethod
    def ints(values):
        return "[" + "".join(["%d " % v for v in values]) + "]"

    def params(self, params):
        return "".join(' "%s" %s' % (token, self.floats(value if isinstance(value, (list, tuple))
                                                        else [value]))
                       for token, value in params.items())

    def AttributeBegin(self):
        self.out.append("AttributeBegin\n")

    def AttributeEnd(self):
        self.out.append("AttributeEnd\n")

    def Color(self, color):
        self.out.append("Color %s\n" % self.floats(color))

    def Translate(self, dx, dy, dz):
        self.out.append("Translate %g %g %g \n" % (dx, dy, dz))

    def Sphere(self, radius, zmin, zmax, thetamax, **params):
        self.out.append("Sphere %g %g %g %g%s\n" % (radius, zmin, zmax, thetamax,
                                                     self.params(params)))

    def PointsPolygons(self, npolys, nvertices, vertices, **params):
        params = {token: value.tolist() for token, value in params.items()}
        self.out.append("PointsPolygons%s %s %s\n" % (self.ints(nvertices.tolist()[:npolys]),
                                                      self.ints(vertices.tolist()),
                                                      self.params(params)))


def scene_numbers(count, seed):
    """Numbers of the magnitudes a scene has: coordinates, unit values, whole numbers, tiny and
    large values, as the C++ mesh benchmark uses."""
    rng = np.random.default_rng(seed)
    coordinate = rng.uniform(-100, 100, count)
    unit = rng.uniform(0, 1, count)
    kinds = np.arange(count) % 5
    values = np.select([kinds == 0, kinds == 1, kinds == 2, kinds == 3],
                       [coordinate, unit, np.trunc(coordinate), unit * 1e-5], coordinate * 1000)
    return values.astype(np.float32)


def triangle_mesh():
    across = QUADS_ACROSS + 1
    j, i = np.mgrid[0:QUADS_DOWN, 0:QUADS_ACROSS]
    a = (j * across + i).ravel().astype(np.int32)
    b, c = a + 1, a + across
    d = c + 1
    vertices = np.stack([a, b, c, c, b, d], axis=1).ravel()
    nvertices = np.full(2 * QUADS_ACROSS * QUADS_DOWN, 3, dtype=np.int32)
    points = across * (QUADS_DOWN + 1)
    return nvertices, vertices, scene_numbers(3 * points, 2026), scene_numbers(3 * points, 2027)


def small_objects():
    i = np.arange(OBJECTS)
    f = np.float32
    columns = [(i % 256).astype(f) / f(255), np.full(OBJECTS, 0.5, f),
               ((i // 256) % 256).astype(f) / f(255), (i % 1000).astype(f) * f(0.01) - f(5),
               (i % 77).astype(f) * f(0.125), -(i % 313).astype(f) * f(0.3),
               f(0.25) + (i % 7).astype(f) * f(0.5), (i % 10).astype(f) / f(10)]
    rows = zip(*[column.tolist() for column in columns])
    return [((r, g, b), x, y, z, radius, kd) for r, g, b, x, y, z, radius, kd in rows]


def write_small(ri, objects):
    for color, x, y, z, radius, kd in objects:
        ri.AttributeBegin()
        ri.Color(color)
        ri.Translate(x, y, z)
        ri.Sphere(radius, -radius, radius, 360, Kd=kd)
        ri.AttributeEnd()


def timed(write, path):
    start = time.process_time()
    write(path)
    return time.process_time() - start


def best(write, path, runs):
    return min(timed(write, path) for _ in range(runs))


def child_time(command):
    """The processor time of a child process that runs `command`."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def same_bytes(paths):
    contents = [open(path, "rb").read() for path in paths]
    return all(content == contents[0] for content in contents)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "../../build"),
                        help="the build folder (default: build)")
    parser.add_argument("--runs", type=int, default=5,
                        help="runs of the module and the C++ interface (default 5)")
    args = parser.parse_args()
    program = os.path.join(args.build, "bench", "rib_write_mesh_arrays")
    if not os.access(program, os.X_OK):
        parser.error("no %s: build it with cmake --build %s --target rib_write_mesh_arrays"
                     % (program, args.build))
    if args.runs < 1:
        parser.error("--runs must be at least 1")

    with tempfile.TemporaryDirectory() as folder:
        out = lambda name: os.path.join(folder, name)
        nvertices, vertices, P, N = triangle_mesh()
        for name, array in [("nvertices.i32", nvertices), ("vertices.i32", vertices),
                            ("P.f32", P), ("N.f32", N)]:
            array.tofile(out(name))

        def mesh_module(path):
            with rib.Context(path) as ri:
                ri.PointsPolygons(len(nvertices), nvertices, vertices, P=P, N=N)

        def mesh_pure(path):
            w = PurePythonWriter(path)
            w.PointsPolygons(len(nvertices), nvertices, vertices, P=P, N=N)
            w.close()

        def small_module(path):
            with rib.Context(path) as ri:
                write_small(ri, objects)

        def small_pure(path):
            w = PurePythonWriter(path)
            write_small(w, objects)
            w.close()

        cpp = subprocess.run([program, folder, out("mesh_cpp.rib"), str(args.runs)],
                             check=True, capture_output=True, text=True)
        mesh_cpp_time = float(cpp.stdout)
        mesh_module_time = best(mesh_module, out("mesh_module.rib"), args.runs)
        mesh_pure_time = best(mesh_pure, out("mesh_pure.rib"), 1)
        if not same_bytes([out("mesh_cpp.rib"), out("mesh_module.rib"), out("mesh_pure.rib")]):
            sys.exit("bench_rib: the three mesh files differ")

        rib_cat = os.path.join(args.build, "rib-cat")
        read = []
        mesh_read_time = best(lambda path: read.append(list(rib.read(path))),
                              out("mesh_module.rib"), args.runs)
        mesh = read[-1][0]
        if (mesh.name, mesh.args[0], mesh.params["P"].size) != ("PointsPolygons", len(nvertices),
                                                                 P.size):
            sys.exit("bench_rib: the mesh read back is not the mesh written")
        read.clear()
        mesh_cat_time = min(child_time([rib_cat, "-o", os.devnull, out("mesh_module.rib")])
                            for _ in range(args.runs))

        objects = small_objects()
        small_module_time = best(small_module, out("small_module.rib"), args.runs)
        small_pure_time = best(small_pure, out("small_pure.rib"), 1)
        if not same_bytes([out("small_module.rib"), out("small_pure.rib")]):
            sys.exit("bench_rib: the two small-request files differ")

    triangles = len(nvertices)
    print("PointsPolygons mesh, %d triangles, \"P\" and \"N\" float32 (%d points):"
          % (triangles, len(P) // 3))
    print("  C++ interface   %8.3f s" % mesh_cpp_time)
    print("  rib module      %8.3f s" % mesh_module_time)
    print("  pure Python     %8.3f s" % mesh_pure_time)
    print("%d small objects (AttributeBegin; Color; Translate; Sphere \"Kd\"; AttributeEnd):"
          % OBJECTS)
    print("  rib module      %8.3f s" % small_module_time)
    print("  pure Python     %8.3f s" % small_pure_time)
    print("ratio mesh rib module / C++ interface: %.2fx (at most 1.25x)"
          % (mesh_module_time / mesh_cpp_time))
    print("ratio mesh pure Python / rib module: %.1fx (at least 20x)"
          % (mesh_pure_time / mesh_module_time))
    print("ratio mesh pure Python / C++ interface: %.1fx (the library's own bound)"
          % (mesh_pure_time / mesh_cpp_time))
    print("ratio small requests pure Python / rib module: %.2fx (at least 2x)"
          % (small_pure_time / small_module_time))
    print("Reading the mesh file back:")
    print("  rib.read into Python objects %8.3f s" % mesh_read_time)
    print("  rib-cat                      %8.3f s" % mesh_cat_time)
    print("ratio reading rib.read / rib-cat: %.2fx (at most 2x)" % (mesh_read_time / mesh_cat_time))


if __name__ == "__main__":
    main()
