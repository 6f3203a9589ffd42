"""cmake --install puts the module where the interpreter finds its packages under the prefix."""
import os
import subprocess
import sys
import sysconfig

import pytest

BUILD = os.environ.get("RIB_BUILD_DIR")
FOLDER = os.environ.get("RIB_PYTHON_INSTALL_DIR")


@pytest.mark.skipif(not BUILD or not FOLDER, reason="run by ctest, which names the build folder")
def test_installed_module_imports(tmp_path):
    cmake = os.environ.get("RIB_CMAKE", "cmake")
    subprocess.run([cmake, "--install", BUILD, "--prefix", str(tmp_path), "--component", "python"],
                   check=True, capture_output=True)
    packages = tmp_path / FOLDER
    env = dict(os.environ, PYTHONPATH=str(packages))
    done = subprocess.run([sys.executable, "-c", "import rib; print(rib.__file__)"], env=env,
                          cwd=tmp_path, capture_output=True, text=True, check=True)
    # A package rib/ whose __init__ is the extension, its stubs and py.typed inside it.
    assert os.path.dirname(done.stdout.strip()) == str(packages / "rib")
    assert sorted(os.listdir(packages / "rib")) == [
        "__init__" + sysconfig.get_config_var("EXT_SUFFIX"), "__init__.pyi", "py.typed"]
