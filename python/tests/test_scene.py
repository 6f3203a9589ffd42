"""The C example scene written from Python, to every kind of target, gives its golden RIB."""
import os
import pathlib
import shlex
import subprocess
import sys

import pytest
import rib
from scenes import simple_scene

GOLDEN = pathlib.Path(__file__).parents[2] / "examples" / "simple_scene.rib.golden"


@pytest.mark.parametrize("make_target", [str, pathlib.Path, os.fsencode],
                         ids=["str", "pathlib", "bytes"])
def test_file_target_gives_the_golden_scene(tmp_path, make_target):
    path = tmp_path / "scene.rib"
    with rib.Context(make_target(str(path))) as ri:
        simple_scene(ri)
    assert ri.closed
    assert path.read_bytes() == GOLDEN.read_bytes()


def run_python(code):
    tests = os.path.dirname(__file__)
    env = dict(os.environ, PYTHONPATH=os.pathsep.join([os.environ.get("PYTHONPATH", ""), tests]))
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, timeout=60)


def test_standard_output_follows_what_python_printed():
    done = run_python("import rib, scenes\n"
                      "print('before')\n"
                      "with rib.Context() as ri:\n"
                      "    scenes.simple_scene(ri)\n"
                      "print('after')\n")
    assert done.returncode == 0, done.stderr
    assert done.stdout == b"before\n" + GOLDEN.read_bytes() + b"after\n"


def test_pipe_target_is_waited_for_on_exit(tmp_path):
    path = tmp_path / "piped.rib"
    # The command is still sleeping when the block ends: the file is whole only if the exit
    # waits for it.
    with rib.Context("|sleep 0.5; cat > %s" % shlex.quote(str(path))) as ri:
        simple_scene(ri)
    assert path.read_bytes() == GOLDEN.read_bytes()


def test_a_context_left_open_is_ended_when_the_program_ends(tmp_path):
    path = tmp_path / "unclosed.rib"
    done = run_python("import rib, scenes\n"
                      "ri = rib.Context(%r)\n"
                      "scenes.simple_scene(ri)\n" % str(path))
    assert done.returncode == 0, done.stderr
    assert path.read_bytes() == GOLDEN.read_bytes()


def test_unwritable_file_raises_instead_of_ending_the_program(tmp_path):
    missing = tmp_path / "no such folder" / "scene.rib"
    with pytest.raises(FileNotFoundError) as error:
        rib.Context(missing)
    assert error.value.filename == missing
    with pytest.raises(ValueError, match="precision must be 1 to 17, not 0"):
        rib.Context(tmp_path / "scene.rib", precision=0)
