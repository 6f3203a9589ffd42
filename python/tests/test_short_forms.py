"""Counts that the arrays give may be left out: the short call writes what the full call writes."""
import numpy as np
import pytest
import rib

P = np.arange(18, dtype=np.float32).reshape(6, 3)
TAGS = (["crease", "corner"], [2, 1, 1, 1], [0, 1, 2], [2.5, 4.0])
BLOB = ([1001, 0], [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1], [])

# (short call, the same request in full)
PAIRS = [
    (lambda ri: ri.Polygon(P=P[:4]), lambda ri: ri.Polygon(4, P=P[:4])),
    (lambda ri: ri.Polygon({"Pw": np.ones(12)}, Cs=np.ones((3, 3))),
     lambda ri: ri.Polygon(3, {"Pw": np.ones(12)}, Cs=np.ones((3, 3)))),
    (lambda ri: ri.Points(P=P, constantwidth=0.1), lambda ri: ri.Points(6, P=P, constantwidth=0.1)),
    (lambda ri: ri.GeneralPolygon([3, 3], P=P), lambda ri: ri.GeneralPolygon(2, [3, 3], P=P)),
    (lambda ri: ri.PointsPolygons([3, 3], [0, 1, 2, 3, 4, 5], P=P),
     lambda ri: ri.PointsPolygons(2, [3, 3], [0, 1, 2, 3, 4, 5], P=P)),
    (lambda ri: ri.PointsGeneralPolygons([1, 1], [3, 3], np.arange(6), {"P": P}),
     lambda ri: ri.PointsGeneralPolygons(2, [1, 1], [3, 3], np.arange(6), {"P": P})),
    (lambda ri: ri.Curves("linear", [3, 3], "nonperiodic", P=P),
     lambda ri: ri.Curves("linear", 2, [3, 3], "nonperiodic", P=P)),
    (lambda ri: ri.SubdivisionMesh("catmull-clark", [3, 3], np.arange(6), P=P),
     lambda ri: ri.SubdivisionMesh("catmull-clark", 2, [3, 3], np.arange(6), 0, [], [], [], [],
                                   P=P)),
    (lambda ri: ri.SubdivisionMesh("loop", [3, 3], np.arange(6), *TAGS, P=P),
     lambda ri: ri.SubdivisionMesh("loop", 2, [3, 3], np.arange(6), 2, *TAGS, P=P)),
    (lambda ri: ri.Blobby(1, *BLOB), lambda ri: ri.Blobby(1, 2, BLOB[0], 16, BLOB[1], 0, BLOB[2])),
    (lambda ri: ri.TrimCurve([1], [2], [0, 0, 1, 1], [0], [1], [2], [0, 1], [0, 1], [1, 1]),
     lambda ri: ri.TrimCurve(1, [1], [2], [0, 0, 1, 1], [0], [1], [2], [0, 1], [0, 1], [1, 1])),
    (lambda ri: ri.MotionBegin([0, 0.5, 1]), lambda ri: ri.MotionBegin(3, [0, 0.5, 1])),
]


@pytest.mark.parametrize("binary", [False, True])
def test_short_calls_write_the_full_calls_bytes(tmp_path, binary):
    written = []
    for form in (0, 1):
        path = tmp_path / ("form%d.rib" % form)
        with rib.Context(path, binary=binary) as ri:
            for pair in PAIRS:
                pair[form](ri)
        written.append(path.read_bytes())
    assert written[0] == written[1]
    assert written[0].count(b"\n") == len(PAIRS) + 3


def test_counts_the_arrays_cannot_give(tmp_path):
    with rib.Context(tmp_path / "bad.rib") as ri:
        for call, error, message in [
            (lambda: ri.Polygon(), TypeError, 'Polygon: takes its vertex count, or "P"'),
            (lambda: ri.Points(P=np.zeros(7)), ValueError,
             'Points: "P" has 7 values, not a multiple of 3'),
            (lambda: ri.PointsPolygons([3]), TypeError,
             r"PointsPolygons: takes 3 arguments \(2 without the counts its arrays give\), then"),
            (lambda: ri.SubdivisionMesh("loop", [3], [0, 1, 2], ["crease"], [2, 1]), TypeError,
             r"takes 9 arguments \(7 or 3 without the counts its arrays give\)"),
            (lambda: ri.PointsPolygons(2, [3], [0, 1, 2], P=P), ValueError,
             "PointsPolygons: nvertices has 1 value, 2 needed"),  # a full call, checked as ever
        ]:
            with pytest.raises(error, match=message):
                call()
