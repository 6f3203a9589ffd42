"""numpy meshes in ASCII and binary RIB, checked against bytes the test makes from the arrays."""
import array
import struct

import numpy as np
import pytest
import rib
from scenes import HEADER

# A grid of 12 x 9 quads, two triangles each; "P" and "N" per point, "Cs" per triangle.
QUADS_ACROSS, QUADS_DOWN = 12, 9
ACROSS = QUADS_ACROSS + 1
POINTS = ACROSS * (QUADS_DOWN + 1)
TRIANGLES = 2 * QUADS_ACROSS * QUADS_DOWN


def grid_mesh():
    j, i = np.mgrid[0:QUADS_DOWN, 0:QUADS_ACROSS]
    a = (j * ACROSS + i).ravel().astype(np.int32)
    vertices = np.stack([a, a + 1, a + ACROSS, a + ACROSS, a + 1, a + ACROSS + 1], axis=1).ravel()
    rng = np.random.default_rng(18)
    P = (rng.uniform(-50, 50, (POINTS, 3)) * rng.choice([1e-4, 1, 1e3], (POINTS, 1)))
    N = rng.uniform(-1, 1, (POINTS, 3))
    Cs = rng.uniform(0, 1, (TRIANGLES, 3))
    return np.full(TRIANGLES, 3, np.int32), vertices, P.astype(np.float32), N, Cs


def text_floats(values, precision=6):
    return "[" + " ".join("%.*g" % (precision, v) for v in np.float32(values).ravel()) + "]"


def binary_floats(values):
    values = np.asarray(values, ">f4").ravel()
    count = values.size.to_bytes(4, "big").lstrip(b"\0") or b"\0"
    return bytes([0xC7 + len(count)]) + count + values.tobytes()


def ints(values):
    return "[" + "".join("%d " % v for v in values) + "]"


@pytest.mark.parametrize("precision", [6, 9])
def test_ascii_mesh(tmp_path, precision):
    nvertices, vertices, P, N, Cs = grid_mesh()
    path = tmp_path / "mesh.rib"
    with rib.Context(path, precision=precision) as ri:
        ri.PointsPolygons(TRIANGLES, nvertices, vertices, {"uniform color Cs": Cs}, P=P, N=N)
    line = 'PointsPolygons%s %s  "uniform color Cs" %s "P" %s "N" %s\n' % (
        ints(nvertices), ints(vertices), text_floats(Cs, precision), text_floats(P, precision),
        text_floats(N, precision))
    assert path.read_bytes() == HEADER + line.encode() + b"\n"


def test_binary_mesh(tmp_path):
    nvertices, vertices, P, N, Cs = grid_mesh()
    path = tmp_path / "mesh.rib"
    with rib.Context(path, binary=True) as ri:
        ri.PointsPolygons(TRIANGLES, nvertices, vertices, P=P, N=N, Cs=np.repeat(Cs, 2, axis=0)[:POINTS])
        ri.Translate(1, 2.5, -3)
    expected = (HEADER + ("PointsPolygons%s %s " % (ints(nvertices), ints(vertices))).encode() +
                b' "P" ' + binary_floats(P) + b' "N" ' + binary_floats(N) +
                b' "Cs" ' + binary_floats(np.repeat(Cs, 2, axis=0)[:POINTS]) + b"\n" +
                b"Translate " + b"".join(b"\xa4" + struct.pack(">f", v) for v in (1, 2.5, -3)) +
                b"\n\n")
    assert path.read_bytes() == expected


POINT_FORMS = {
    "float32 C array": lambda P: P,
    "float64 array": lambda P: P.astype(np.float64),
    "every other row": lambda P: np.repeat(P, 2, axis=0)[::2],
    "nested lists": lambda P: P.tolist(),
    "array.array": lambda P: array.array("f", P.ravel().tolist()),
    "memoryview": lambda P: memoryview(P.ravel()),
}


def test_every_form_of_array_writes_the_same_bytes(tmp_path):
    nvertices, vertices, P, _, _ = grid_mesh()
    written = {}
    for name, form in POINT_FORMS.items():
        path = tmp_path / ("%s.rib" % name.replace(" ", "_"))
        with rib.Context(path) as ri:
            ri.PointsPolygons(TRIANGLES, nvertices.tolist(), vertices.astype(np.int64),
                              P=form(P))
        written[name] = path.read_bytes()
    expected = HEADER + ('PointsPolygons%s %s  "P" %s\n\n' % (
        ints(nvertices), ints(vertices), text_floats(P))).encode()
    assert {name: data == expected for name, data in written.items()} == \
        {name: True for name in POINT_FORMS}
