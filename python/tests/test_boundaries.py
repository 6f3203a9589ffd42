"""What a caller's own code, its file names and a failing output cannot do to the RIB written."""
import os
import pathlib

import numpy as np
import pytest
import rib
from scenes import HEADER


def test_python_code_run_while_reading_cannot_change_what_was_checked(tmp_path):
    path = tmp_path / "changed.rib"
    with rib.Context(path) as ri:
        ri.Declare("Kx", "uniform float")
        nvertices = np.array([3], np.int32)  # borrowed where it lies
        P = np.zeros((3, 3), np.float32)

        class Runs:
            """A number whose conversion runs code that changes the request under way."""

            def __init__(self, change):
                self.change = change

            def __float__(self):
                self.change()
                return 0.5

        def grow_the_borrowed_count():
            nvertices[0] = 100000

        cases = [
            (lambda: ri.PointsPolygons(1, nvertices, [0, 1, 2], P=P,
                                       Kd=Runs(grow_the_borrowed_count)),
             "PointsPolygons: vertices has 3 values, 100000 needed"),
            (lambda: ri.Surface("plastic", Kx=1, Kd=Runs(
                lambda: ri.Declare("Kx", "uniform float[30000]"))),
             'Surface: "Kx" was declared anew while the request was read'),
            (lambda: ri.Surface("plastic", Kq=1, Kd=Runs(lambda: ri.Declare("Kq", "color"))),
             'Surface: "Kq" was declared anew while the request was read'),
            (lambda: ri.PatchMesh("bicubic", 7, "nonperiodic", 7, "nonperiodic",
                                  P=np.zeros((49, 3)), Cs=np.zeros((9, 3)),
                                  Kd=Runs(lambda: ri.Basis("b-spline", 1, "b-spline", 1))),
             'PatchMesh: "Cs" has 27 values, 75 needed'),
        ]
        for call, message in cases:
            with pytest.raises(ValueError, match=message):
                call()
    assert path.read_bytes() == HEADER + b"\n".join([
        b'Declare "Kx" "uniform float"',
        b'Declare "Kx" "uniform float[30000]"',
        b'Declare "Kq" "color"',
        b'Basis "b-spline" 1 "b-spline" 1', b'', b''])


def test_a_path_like_target_is_always_a_file(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    for target in [pathlib.Path("|touch ran"), pathlib.Path("rgl"), b"|touch ran"]:
        with rib.Context(target) as ri:
            ri.WorldBegin()
        assert pathlib.Path(os.fsdecode(target)).read_bytes() == HEADER + b"WorldBegin\n\n"
    assert not (tmp_path / "ran").exists()


@pytest.mark.parametrize("target, error", [
    ("/dev/full", r'\[Errno 28\] cannot write the RIB to "/dev/full": No space left on device'),
    ("|false", 'command "false"'),  # its status, or the pipe it broke
    ("|cat >/dev/null; exit 3", 'the RIB command "cat >/dev/null; exit 3" ended with status 3'),
])
def test_a_failed_write_raises_when_the_context_closes(target, error, capfd):
    with pytest.raises(OSError, match=error):
        with rib.Context(target) as ri:
            ri.Sphere(1, -1, 1, 360)
    assert "zizurezar error: " in capfd.readouterr().err  # reported as before, too
    ri.close()  # once ended, closing again does nothing
    failed = rib.Context("/dev/full")
    failed.Sphere(1, -1, 1, 360)
    with pytest.raises(OSError):
        failed.close()
    assert failed.closed
