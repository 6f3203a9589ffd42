"""Builds the module rib with CMake for the interpreter that runs pip: the RIB library linked in,
its type stubs (rib.pyi, py.typed) beside it. Nothing is fetched: CMake, a C++ compiler, pybind11
and the interpreter's headers must be there (Debian: cmake g++ pybind11-dev python3-dev)."""
import glob
import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))


def library_version():
    with open(os.path.join(ROOT, "rib", "include", "rib", "ri.h"), encoding="utf-8") as header:
        return re.search(r'^#define RIB_VERSION "([0-9.]+)"', header.read(), re.M).group(1)


class BuildWithCMake(build_ext):
    """The one extension, rib, is the CMake target rib_python. It is installed as the package
    rib/ whose __init__ is the extension itself, so that its stubs and py.typed lie inside it
    as type checkers expect (rib/__init__.pyi, rib/py.typed), as the Debian package has it."""

    def build_extension(self, ext):
        build = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                        "-DBUILD_TESTING=OFF", "-DWOBBLE_BUILD_DEMO=OFF",
                        "-DPython3_EXECUTABLE=" + sys.executable], check=True)
        subprocess.run(["cmake", "--build", build, "--target", "rib_python",
                        "-j", str(os.cpu_count() or 2)], check=True)
        built = glob.glob(os.path.join(build, "python", "rib.*.so"))
        if len(built) != 1:
            sys.exit("CMake left the module rib out: it needs pybind11-dev, python3-dev and "
                     "python3-numpy for " + sys.executable)
        module = self.get_ext_fullpath(ext.name)
        package = os.path.dirname(module)
        os.makedirs(package, exist_ok=True)
        shutil.copyfile(built[0], module)
        shutil.copyfile(os.path.join(build, "python", "rib.pyi"),
                        os.path.join(package, "__init__.pyi"))
        shutil.copyfile(os.path.join(build, "python", "py.typed"),
                        os.path.join(package, "py.typed"))


# Beside CMake's own build folders, not in them.
BUILD_BASE = os.path.join(ROOT, "build-pip")
os.makedirs(BUILD_BASE, exist_ok=True)

setup(
    version=library_version(),
    packages=[],
    py_modules=[],
    ext_modules=[Extension("rib.__init__", sources=[])],
    cmdclass={"build_ext": BuildWithCMake},
    options={"build": {"build_base": BUILD_BASE}, "egg_info": {"egg_base": BUILD_BASE}},
)
