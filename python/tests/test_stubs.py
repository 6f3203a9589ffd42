"""The type stubs beside the module: mypy --strict takes a right program and flags a wrong one."""
import importlib.util
import os
import subprocess
import sys

import rib

RIGHT = '''
import numpy as np
import rib

P = np.zeros((4, 3), np.float32)
with rib.Context("right.rib", format="compact", compression="gzip") as ri:
    ri.Format(640, 480, 1.0)
    ri.Color((1, 0.5, 0))
    ri.Surface("plastic", {"uniform float extra": 2}, Kd=0.5)
    ri.Polygon(P=P)
    ri.PointsPolygons(1, [4], np.arange(4), P=P)
    ri.PointsPolygons([4], np.arange(4), P=P)
    light: rib.LightHandle = ri.LightSource("spotlight")
    ri.Illuminate(light, True)
    ri.Basis("bezier", 3, np.eye(4), 3)
    ri.ArchiveRecord("comment", "frame %d", 1)
    requests = rib.read("right.rib")
    for request in requests:
        if request.name != "Sphere":
            ri.write(request)
    requests.close()
'''

WRONG = '''
import rib

with rib.Context("wrong.rib") as ri:
    ri.Sphere("one", -1, 1, 360)
    ri.Illuminate(ri.ObjectBegin(), True)
'''


def mypy(tmp_path, name, program):
    (tmp_path / name).write_text(program)
    env = dict(os.environ, MYPYPATH=os.path.dirname(rib.__file__))
    return subprocess.run([sys.executable, "-m", "mypy", "--strict", "--no-incremental",
                           "--cache-dir", os.devnull, name], cwd=tmp_path, env=env,
                          capture_output=True, text=True)


def test_stubs_type_the_requests(tmp_path):
    folder = os.path.dirname(rib.__file__)
    assert os.path.isfile(os.path.join(folder, "rib.pyi"))
    assert os.path.isfile(os.path.join(folder, "py.typed"))
    if importlib.util.find_spec("mypy") is None:
        return  # scripts/test.sh installs it; without it only the files are checked
    right = mypy(tmp_path, "right.py", RIGHT)
    assert (right.returncode, right.stdout) == (0, "Success: no issues found in 1 source file\n")
    wrong = mypy(tmp_path, "wrong.py", WRONG)
    assert wrong.returncode == 1
    assert 'wrong.py:5: error: Argument 1 to "Sphere" of "Context" has incompatible type "str"' \
        in wrong.stdout
    assert 'wrong.py:6: error: Argument 1 to "Illuminate" of "Context" has incompatible type ' \
        '"ObjectHandle"' in wrong.stdout
