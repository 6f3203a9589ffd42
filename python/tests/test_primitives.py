"""Each primitive's parameters are sized by the library's own count rules: exactly the values it
writes are enough, one fewer is refused before anything is written."""
import pathlib

import numpy as np
import pytest
import rib
from scenes import HEADER

# request, token, values it needs, the call with those values
PRIMITIVES = [
    ("Sphere", "P", 12, lambda ri, v: ri.Sphere(1, -1, 1, 360, P=v)),
    ("GeneralPolygon", "P", 21, lambda ri, v: ri.GeneralPolygon(2, [4, 3], P=v)),
    ("PointsPolygons", "N", 12, lambda ri, v: ri.PointsPolygons(2, [3, 3], [0, 1, 2, 2, 1, 3], N=v)),
    ("PointsGeneralPolygons", "Cs", 6,  # uniform: one colour per polygon
     lambda ri, v: ri.PointsGeneralPolygons(2, [1, 1], [3, 3], [0, 1, 2, 2, 1, 3],
                                            {"uniform color Cs": v})),
    ("Patch", "P", 48, lambda ri, v: ri.Patch("bicubic", P=v)),
    ("NuPatch", "P", 24, lambda ri, v: ri.NuPatch(4, 4, [0, 0, 0, 0, 1, 1, 1, 1], 0, 1, 2, 2,
                                                  [0, 0, 1, 1], 0, 1, P=v)),
    ("Curves", "width", 3, lambda ri, v: ri.Curves("cubic", 1, [7], "nonperiodic", width=v)),
    ("Curves", "w", 2,  # uniform: one value per curve, not per segment
     lambda ri, v: ri.Curves("linear", 2, [4, 4], "nonperiodic", {"uniform float w": v})),
    ("Points", "P", 9, lambda ri, v: ri.Points(3, P=v)),
    ("SubdivisionMesh", "P", 12,
     lambda ri, v: ri.SubdivisionMesh("catmull-clark", 1, [4], [0, 1, 2, 3], 0, [], [], [], [],
                                      P=v)),
    ("Blobby", "Cs", 6, lambda ri, v: ri.Blobby(2, 4, [1000, 0, 1000, 1], 2, [0.5, 0.25], 0, [],
                                                Cs=v)),
    ("Blobby", "w", 1,  # uniform: one value for the whole primitive
     lambda ri, v: ri.Blobby(2, 4, [1000, 0, 1000, 1], 2, [0.5, 0.25], 0, [],
                             {"uniform float w": v})),
]


@pytest.mark.parametrize("request_name,token,needed,call", PRIMITIVES,
                         ids=["%s-%s-%d" % row[:3] for row in PRIMITIVES])
def test_primitive_values_are_sized_by_the_count_rules(tmp_path, request_name, token, needed,
                                                       call):
    path = tmp_path / "primitive.rib"
    with rib.Context(path) as ri:
        with pytest.raises(ValueError, match='%s: "[^"]*%s" has %d values?, %d needed'
                           % (request_name, token, needed - 1, needed)):
            call(ri, np.arange(needed - 1, dtype=np.float32))
        call(ri, np.arange(needed + 5, dtype=np.float32))  # extra values are not read
    written = path.read_bytes()
    # One request, the accepted one: nothing of the refused one came before it.
    assert written.startswith(HEADER + request_name.encode())
    assert written.count(request_name.encode()) == 1
    values = " ".join(str(i) for i in range(needed))
    assert ('%s" [%s]' % (token, values)).encode() in written


def test_every_request_of_the_table_is_a_method():
    table = (pathlib.Path(__file__).parents[2] / "rib" / "include" / "rib" / "RiRequests.def")
    rows = [line.split("(", 1)[1].split(",")[1].strip() for line in table.read_text().splitlines()
            if line.startswith("RI_") and "_REQUEST" in line.split("(", 1)[0]]
    assert len(rows) == 113
    missing = [name for name in rows if not callable(getattr(rib.Context, name, None))]
    assert missing == []
    assert "npolys: int" in rib.Context.PointsPolygons.__doc__


def test_contexts_keep_their_own_encoding(tmp_path):
    fine, coarse = tmp_path / "fine.rib", tmp_path / "coarse.rib"
    with rib.Context(fine, precision=9) as a, rib.Context(coarse) as b:
        for ri in (a, b):
            ri.Sphere(1 / 3, -1, 1, 360, Kd=2 / 3)
        b.Option("rib", binary=1)  # this context only
        for ri in (a, b):
            ri.Color((0.5, 0.25, 1))
    assert fine.read_bytes() == HEADER + (b'Sphere 0.333333343 -1 1 360 "Kd" [0.666666687]\n'
                                          b'Color [0.5 0.25 1]\n\n')
    assert coarse.read_bytes() == HEADER + (b'Sphere 0.333333 -1 1 360 "Kd" [0.666667]\n'
                                            b'Color \xc8\x03' +
                                            np.array([0.5, 0.25, 1], ">f4").tobytes() + b'\n\n')
