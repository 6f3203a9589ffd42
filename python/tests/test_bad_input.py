"""Wrong types and short arrays raise, naming the request and the argument, and write nothing."""
import os

import numpy as np
import pytest
import rib
from scenes import HEADER

BAD_CALLS = [
    # Fixed arguments of the wrong type or length
    (lambda ri: ri.Sphere(1, -1, 1, "360"), TypeError,
     "Sphere: thetamax must be a number, not str"),
    (lambda ri: ri.FrameBegin(1.5), TypeError, "FrameBegin: frame must be an int, not float"),
    (lambda ri: ri.Color((1, 0.5)), ValueError, "Color: color takes 3 numbers, not 2"),
    (lambda ri: ri.ConcatTransform(np.eye(3)), ValueError,
     r"ConcatTransform: transform takes 16 numbers \(4 x 4\), not 9"),
    (lambda ri: ri.PixelFilter("lanczos", 2, 2), ValueError,
     "PixelFilter: filterfunc must be one of gaussian, box"),
    (lambda ri: ri.Display("out\0.tif", "file", "rgb"), ValueError,
     "Display: name contains a NUL character"),
    (lambda ri: ri.PointsPolygons(1, [3], [0, 1, 2.5]), TypeError,
     "PointsPolygons: vertices takes integers, not list of float64"),
    # Arrays shorter than their counts say
    (lambda ri: ri.PointsPolygons(2, [3, 3], [0, 1, 2, 2, 1]), ValueError,
     "PointsPolygons: vertices has 5 values, 6 needed"),
    (lambda ri: ri.GeneralPolygon(2, [4, 3], P=np.zeros((6, 3))), ValueError,
     'GeneralPolygon: "P" has 18 values, 21 needed'),
    (lambda ri: ri.SubdivisionMesh("catmull-clark", 1, [4], [0, 1, 2, 3], 1, ["crease"], [2, 1],
                                   [0, 1], []), ValueError,
     "SubdivisionMesh: floatargs has 0 values, 1 needed"),
    (lambda ri: ri.Blobby(1, 2**31 - 1, [1000, 0], 1, [0.5], 0, []), ValueError,
     "Blobby: code has 2 values, 2147483647 needed"),
    (lambda ri: ri.Procedural(["prog"], [0] * 6, "RunProgram", None), ValueError,
     "Procedural: data has 1 value, 2 needed"),
    # Parameter values
    (lambda ri: ri.Surface("plastic", Kd="bright"), TypeError,
     'Surface: "Kd" takes numbers, not str'),
    (lambda ri: ri.Surface("plastic", {"uniform float[2] gloss": 1}), ValueError,
     'Surface: "uniform float\\[2\\] gloss" has 1 value, 2 needed'),
    (lambda ri: ri.Polygon(3, P=[0, None, 0] * 3), TypeError,
     'Polygon: "P" takes numbers, not list of object'),
    (lambda ri: ri.Surface("plastic", {1: 2}), TypeError,
     "Surface: parameter names are str, not int"),
    # Numbers that RIB cannot hold, which the library would leave out with only a line
    (lambda ri: ri.Sphere(1e39, -1, 1, 360), ValueError,
     "Sphere: radius is beyond the float range"),
    (lambda ri: ri.Sphere(10**39, -1, 1, 360), ValueError,
     "Sphere: radius is beyond the float range"),
    (lambda ri: ri.Sphere(1, -1, 1, np.float32("nan")), ValueError, "Sphere: thetamax is NaN"),
    (lambda ri: ri.Color([1, float("-inf"), 0]), ValueError, "Color: color holds an infinity"),
    (lambda ri: ri.Surface("plastic", Kd=np.array([np.nan])), ValueError,
     'Surface: "Kd" holds NaN'),
    (lambda ri: ri.Polygon(P=np.array([0, 0, 0, 1, 0, 0, 0, 1, -1e39])), ValueError,
     'Polygon: "P" holds a number beyond the float range'),
    (lambda ri: ri.Polygon(P=np.array([0, 0, 0, 1, 0, 0, np.inf, 1, 0], dtype=np.float32)),
     ValueError, 'Polygon: "P" holds an infinity'),
    # The call as a whole
    (lambda ri: ri.Sphere(1, -1, 1), TypeError, "Sphere: takes 4 arguments"),
    (lambda ri: ri.Sphere(1, -1, 1, 360, 0.5), TypeError,
     "Sphere: takes parameters after its 4 arguments as one dict, not float"),
    (lambda ri: ri.Color((1, 1, 1), Kd=1), TypeError, "Color: takes no parameters"),
    (lambda ri: ri.ArchiveRecord("comment", "%d and %d", 1), TypeError,
     "ArchiveRecord: arguments do not fit the format"),
    (lambda ri: ri.ObjectInstance(1), TypeError,
     "ObjectInstance: handle must be a rib.ObjectHandle, not int"),
    (lambda ri: ri.Illuminate(rib.Context(os.devnull).LightSource("spotlight"), True), ValueError,
     "Illuminate: light belongs to another context"),
]


@pytest.mark.filterwarnings("ignore:overflow encountered in cast")
def test_bad_calls_raise_and_write_nothing(tmp_path):
    path = tmp_path / "bad.rib"
    with rib.Context(path) as ri:
        for call, error, message in BAD_CALLS:
            with pytest.raises(error, match=message):
                call(ri)
    assert path.read_bytes() == HEADER + b"\n"


def test_patch_meshes_are_sized_by_the_basis_in_force(tmp_path):
    Cs = np.zeros((4, 3))  # a varying colour per corner of one bicubic patch (step 3)
    with rib.Context(tmp_path / "patches.rib") as ri:
        ri.PatchMesh("bicubic", 5, "nonperiodic", 4, "nonperiodic", P=np.zeros((20, 3)), Cs=Cs)
        ri.Basis("b-spline", 1, "b-spline", 1)  # now two patches across: six corners
        with pytest.raises(ValueError, match='PatchMesh: "Cs" has 12 values, 18 needed'):
            ri.PatchMesh("bicubic", 5, "nonperiodic", 4, "nonperiodic", P=np.zeros((20, 3)),
                         Cs=Cs)


def test_undeclared_parameters_are_left_to_the_library(tmp_path, capfd):
    path = tmp_path / "undeclared.rib"
    with rib.Context(path) as ri:
        ri.Surface("plastic", Kq=[1, 2], Kd=0.5)
        assert rib.last_error() == 41  # RIE_BADTOKEN
    assert path.read_bytes() == HEADER + b'Surface "plastic" "Kd" [0.5]\n\n'
    assert capfd.readouterr().err == 'zizurezar error: undeclared parameter "Kq"\n'


def test_a_closed_context_refuses_requests(tmp_path):
    ri = rib.Context(tmp_path / "closed.rib")

    class ClosesTheContext:
        def __float__(self):
            ri.close()
            return 1.0

    # Closed while its arguments are read: the request is refused, not written to a freed stream.
    with pytest.raises(ValueError, match="Sphere: the context is closed"):
        ri.Sphere(1, -1, 1, ClosesTheContext())
    ri.close()
    with pytest.raises(ValueError, match="WorldBegin: the context is closed"):
        ri.WorldBegin()
    assert (tmp_path / "closed.rib").read_bytes() == HEADER + b"\n"


def test_a_second_context_keeps_declarations_and_a_fifo_is_opened_once(tmp_path):
    # A context made later once declared the standard names again, so the first context wrote
    # its own "Kd" with one value; and a FIFO was opened and closed for a trial before the real
    # open, so its reader saw an end of file and the writer waited for a reader that had gone.
    path = tmp_path / "first.rib"
    with rib.Context(path) as first:
        first.Declare("Kd", "uniform color")
        with rib.Context(os.devnull):
            pass
        first.Surface("plastic", Kd=(0.25, 0.5, 1))
        first.Declare("Kd", "uniform float")
    assert path.read_bytes().decode() == (HEADER.decode() + 'Declare "Kd" "uniform color"\n'
                                'Surface "plastic" "Kd" [0.25 0.5 1]\n'
                                'Declare "Kd" "uniform float"\n\n')

    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    reader = os.fork()
    if reader == 0:
        with open(fifo, "rb") as source, open(tmp_path / "read.rib", "wb") as sink:
            sink.write(source.read())
        os._exit(0)
    with rib.Context(fifo) as ri:
        ri.WorldBegin()
        ri.WorldEnd()
    assert os.waitpid(reader, 0)[1] == 0
    assert (tmp_path / "read.rib").read_bytes() == HEADER + b"WorldBegin\nWorldEnd\n\n"
