"""rib.read: every encoding read back into requests that a context writes as rib-cat does."""
import errno
import gzip
import io
import os
import re
import subprocess
import sys

import numpy as np
import pytest
import rib
from scenes import HEADER, simple_scene

BUILD = os.environ.get("RIB_BUILD_DIR")
needs_rib_cat = pytest.mark.skipif(not BUILD, reason="run by ctest, which names the build folder")


def geometry_scene(ri, surface="plastic"):
    """simple_scene, then a request of every kind that carries arrays, handles or names."""
    simple_scene(ri)
    ri.FrameBegin(2)
    ri.Declare("Kq", "varying color")
    ri.WorldBegin()
    light = ri.LightSource("spotlight", {"from": (0, 1, 2)}, intensity=2)
    ri.Illuminate(light, False)
    ri.Surface(surface, Kd=0.5, texturename="grid.tex")
    ball = ri.ObjectBegin()
    ri.Sphere(1, -1, 1, 360)
    ri.ObjectEnd()
    ri.ObjectInstance(ball)
    P = np.arange(18, dtype=np.float32).reshape(6, 3) / 7
    ri.PointsPolygons([3, 3], [0, 1, 2, 3, 4, 5], P=P, Kq=np.ones((6, 3)))
    ri.SubdivisionMesh("catmull-clark", [3, 3], np.arange(6), ["crease"], [2, 1], [0, 1], [2.5],
                       P=P)
    ri.Basis("b-spline", 1, np.eye(4) * 0.5, 2)
    ri.Curves("cubic", [4], "nonperiodic", P=np.zeros((4, 3)), constantwidth=0.1)
    ri.PatchMesh("bicubic", 4, "nonperiodic", 5, "nonperiodic", P=np.zeros((20, 3)))
    ri.NuPatch(2, 2, [0, 0, 1, 1], 0, 1, 2, 2, [0, 0, 1, 1], 0, 1, Pw=np.ones(16))
    ri.TrimCurve([1], [2], [0, 0, 1, 1], [0], [1], [2], [0, 1], [0, 1], [1, 1])
    ri.Blobby(1, [1001, 0], np.eye(4).ravel(), [])
    ri.Procedural(["inner.rib"], [-1, 1, -1, 1, -1, 1], "DelayedReadArchive", None)
    ri.MotionBegin([0, 1])
    ri.Translate(0, 0, 1)
    ri.Translate(0, 0, 2)
    ri.MotionEnd()
    ri.PixelFilter("catmull-rom", 3, 3)
    ri.ArchiveRecord("comment", "last of %d", 2)
    ri.WorldEnd()
    ri.FrameEnd()


def rib_cat(path):
    return subprocess.run([os.path.join(BUILD, "rib-cat"), str(path)], capture_output=True,
                          check=True).stdout


def filtered(source, path, change=None):
    """The five-line filter of the README."""
    with rib.Context(path) as ri:
        for request in rib.read(source):
            if change and request.name == "Surface" and "texturename" in request.params:
                request = change
            ri.write(request)
    return path.read_bytes()


@needs_rib_cat
@pytest.mark.parametrize("encoding", [dict(), dict(format="binary"), dict(format="compact"),
                                      dict(compression="gzip")])
def test_each_encoding_reads_back_into_rib_cats_bytes(tmp_path, encoding):
    source = tmp_path / "scene.rib"
    with rib.Context(source, **encoding) as ri:
        geometry_scene(ri)
    ascii = tmp_path / "ascii.rib"
    with rib.Context(ascii) as ri:
        geometry_scene(ri)
    expected = rib_cat(ascii)
    assert filtered(source, tmp_path / "out.rib") == expected
    with open(source, "rb") as stream:  # a binary file object reads the same
        assert filtered(stream, tmp_path / "out2.rib") == expected


@needs_rib_cat
def test_a_filter_changes_one_request(tmp_path):
    source = tmp_path / "scene.rib"
    with rib.Context(source, format="compact") as ri:
        geometry_scene(ri)
    changed = tmp_path / "matte.rib"
    with rib.Context(changed) as ri:
        geometry_scene(ri, surface="matte")
    matte = next(r for r in rib.read(changed) if r.name == "Surface" and "texturename" in r.params)
    assert (matte.args, matte.params["texturename"], matte.params["Kd"].tolist()) == \
        (("matte",), ["grid.tex"], [0.5])
    assert filtered(source, tmp_path / "out.rib", change=matte) == rib_cat(changed)
    mesh = next(r for r in rib.read(source) if r.name == "PointsPolygons")
    assert (mesh.args[0], mesh.args[1].tolist(), mesh.params["P"].dtype) == (2, [3, 3], np.float32)


def test_problems_are_reported_or_raised(tmp_path, capfd):
    broken = tmp_path / "broken.rib"
    broken.write_bytes(b'WorldBegin\nSphere 1 -1 1\nSurface "matte"\nWorldEnd\n')
    assert [(r.name, r.line) for r in rib.read(broken)] == \
        [("WorldBegin", 1), ("Surface", 3), ("WorldEnd", 4)]
    problem = capfd.readouterr().err
    assert problem.startswith("%s:2: " % broken) and problem.count("\n") == 1
    requests = rib.read(broken, strict=True)
    assert next(requests).name == "WorldBegin"
    with pytest.raises(rib.RibError, match=re.escape(problem.strip())):
        next(requests)
    assert capfd.readouterr().err == ""
    with pytest.raises(FileNotFoundError):
        rib.read(tmp_path / "missing.rib")


# Run in a process of its own, so that its peak memory is the reading's alone.
STREAMING = r"""
import io, os, resource, sys
import rib
path = sys.argv[1]
peak = lambda: resource.getrusage(resource.RUSAGE_SELF).ru_maxrss  # KiB
fds = lambda: len(os.listdir("/proc/self/fd"))
before, open_fds = peak(), fds()
count = sum(1 for request in rib.read(path) if request.name == "Sphere")
with open(path, "rb") as stream:
    requests = rib.read(stream)
    next(requests)
    taken = stream.tell()
    count += 1 + sum(1 for request in requests)
    ahead = taken < os.path.getsize(path)
early = rib.read(path)
next(early)
early.close()
print(count, peak() - before, ahead, fds() - open_fds, list(early))
"""


def test_reading_streams_a_gzip_bomb_in_bounded_memory(tmp_path):
    bomb = tmp_path / "bomb.rib.gz"
    with gzip.open(bomb, "wb") as out:  # 27 MB of spheres in 64 KB
        for _ in range(1500):
            out.write(b"Sphere 1 -1 1 360\n" * 1000)
    # Under AddressSanitizer, freed memory is reused at once rather than held in quarantine.
    asan = os.environ.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=0"
    env = dict(os.environ, ASAN_OPTIONS=asan)
    done = subprocess.run([sys.executable, "-c", STREAMING, str(bomb)], capture_output=True,
                          text=True, timeout=120, check=True, env=env)
    count, growth_kib, ahead, fds_left, after_close = done.stdout.split(maxsplit=4)
    assert (int(count), ahead, int(fds_left), after_close.strip()) == (3000000, "True", 0, "[]")
    assert int(growth_kib) < 64 * 1024  # every request held at once takes 480 MB


def test_texts_that_are_not_utf8_pass_a_filter_byte_for_byte(tmp_path):
    source = (b'Declare "K\xe9" "uniform string"\nSurface "caf\xe9" "K\xe9" ["\xff\xfe.tex"]\n'
              b'Attribute "identifier" "string name" ["\xc3"]\n')
    path = tmp_path / "latin1.rib"
    path.write_bytes(source)
    surface = list(rib.read(path))[1]
    assert (surface.args, surface.params) == (("caf\udce9",), {"K\udce9": ["\udcff\udcfe.tex"]})
    assert filtered(path, tmp_path / "out.rib") == HEADER + source + b"\n"
    with rib.Context(os.devnull) as ri:
        with pytest.raises(ValueError, match=r'"uniform float\[2\] K\\xe9" has 1 value'):
            ri.Surface("plastic", {"uniform float[2] K\udce9": 1})


def test_a_reading_left_early_leaves_nothing_behind(tmp_path, capfd):
    path = tmp_path / "anew.rib"
    path.write_bytes(b'Declare "Kd" "uniform color"\nWorldBegin\nSurface "matte" "Kd" [1 1 1]\n')
    for leave in (lambda requests: requests.close(), lambda requests: None):
        requests = rib.read(path, strict=True)
        assert [next(requests).name, next(requests).name] == ["Declare", "WorldBegin"]
        leave(requests)
        del requests
        with rib.Context(tmp_path / "out.rib") as ri:
            ri.Surface("plastic", Kd=0.5)  # still one float
        assert (tmp_path / "out.rib").read_bytes().endswith(b'"Kd" [0.5]\n\n')
    assert capfd.readouterr().err == ""  # no "WorldBegin is never ended"


class FailsMidway(io.BytesIO):
    """A file whose device fails after its first bytes."""

    def read(self, size=-1):
        data = super().read(min(size, 16))
        if size and not data:
            raise OSError(errno.EIO, "device gone")
        return data


@pytest.mark.parametrize("strict", [False, True])
def test_inputs_that_cannot_be_read_raise_oserror(tmp_path, strict, capfd):
    for path, error in [(str(tmp_path / "a\0b"), errno.EINVAL), (tmp_path, errno.EISDIR),
                        (tmp_path / "missing.rib", errno.ENOENT)]:
        with pytest.raises(OSError) as raised:
            rib.read(path, strict=strict)
        assert raised.value.errno == error
    requests = rib.read(FailsMidway(b"WorldBegin\nSphere 1 -1 1 360\nWorldEnd\n"), strict=strict)
    assert [next(requests).name, next(requests).name] == ["WorldBegin", "Sphere"]
    with pytest.raises(OSError, match="device gone"):
        next(requests)  # not WorldEnd, which the failure may have cut short
    assert list(requests) == [] and capfd.readouterr().err == ""
    with pytest.raises(TypeError, match="must be binary"):
        rib.read(io.StringIO("WorldBegin"))
