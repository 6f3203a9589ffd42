"""Requests that return handles or take names, and records formatted by Python."""
import numpy as np
import rib
from scenes import HEADER


def test_handles_names_and_records(tmp_path):
    path = tmp_path / "requests.rib"
    with rib.Context(path) as ri:
        light = ri.LightSource("spotlight", intensity=2)
        area = ri.AreaLightSource("arealight")
        assert (type(light), light.number, type(area), area.number) == \
            (rib.LightHandle, 1, rib.LightHandle, 2)
        ri.Illuminate(light, False)
        ball = ri.ObjectBegin()
        ri.Sphere(1, -1, 1, 360)
        ri.ObjectEnd()
        ri.ObjectInstance(ball)
        assert ri.Declare("Kq", "varying color") == "Kq"
        ri.Surface("custom", Kq=(1, 0, 0), texturename="a \"quoted\" name")
        ri.Basis("catmull-rom", 1, np.eye(4), 2)
        ri.ErrorHandler("ignore")
        ri.Procedural(["a.rib"], (-1, 1, -1, 1, -1, 1), "DelayedReadArchive", None)
        ri.ArchiveRecord("comment", "frame %d of %d", 1, 2)
        ri.ArchiveRecord("verbatim", "50% grey\n")
        assert ri.TransformPoints("current", "world", 1, [(0, 0, 0)]) is None
    assert path.read_bytes() == HEADER + b"\n".join([
        b'LightSource "spotlight" 1 "intensity" [2]',
        b'AreaLightSource "arealight" 2',
        b'Illuminate 1 0',
        b'ObjectBegin 1',
        b'Sphere 1 -1 1 360',
        b'ObjectEnd',
        b'ObjectInstance 1',
        b'Declare "Kq" "varying color"',
        b'Surface "custom" "Kq" [1 0 0] "texturename" ["a \\"quoted\\" name"]',
        b'Basis "catmull-rom" 1 [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] 2',
        b'ErrorHandler "ignore"',
        b'Procedural "DelayedReadArchive" ["a.rib"] [-1 1 -1 1 -1 1]',
        b'# frame 1 of 2',
        b'50% grey',  # a verbatim record ends its own line
        b'',
        b'',
    ])
