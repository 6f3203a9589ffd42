"""Scenes the tests write through the rib module."""
import numpy as np

HEADER = b"##RenderMan RIB-Structure 1.0\nversion 3.03\n"


def simple_scene(ri):
    """examples/simple_scene.c, request for request."""
    ri.ArchiveRecord("structure", "Scene %s", "simple_scene")
    ri.Format(320, 240, 1.0)
    ri.PixelSamples(2, 2)
    ri.PixelFilter("gaussian", 2, 2)
    ri.Display("simple_scene.tif", "file", "rgb")
    ri.Projection("perspective", fov=40)
    ri.Option("limits", {"integer bucketsamples": 4})

    ri.FrameBegin(1)
    ri.Translate(0, 0, 6)
    ri.WorldBegin()
    ri.LightSource("distantlight", {"intensity": 0.8, "from": (0, 4, -4), "to": [0, 0, 0]})
    ri.LightSource("pointlight", intensity=np.float32(0.8))

    ri.AttributeBegin()
    ri.Color((0.8, 0.1, 0.1))
    ri.Surface("plastic", Ka=0.2, Kd=0.7, Ks=0.4, roughness=0.1)
    ri.Sphere(1, -1, 1, 360)
    ri.AttributeEnd()

    ri.AttributeBegin()
    ri.Color(np.full(3, 0.5))
    ri.Surface("matte")
    floor = np.array([[-4, -1, -4], [4, -1, -4], [4, -1, 4], [-4, -1, 4]], dtype=np.float32)
    ri.Polygon(4, P=floor)
    ri.AttributeEnd()

    ri.AttributeBegin()
    ri.Translate(2, -1, 0)
    ri.Rotate(-90, 1, 0, 0)
    ri.Cone(1.5, 0.5, 360)
    ri.AttributeEnd()

    ri.WorldEnd()
    ri.FrameEnd()
