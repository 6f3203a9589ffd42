#!/usr/bin/env bash
# `python3 -m pip install --no-build-isolation .` as a cron job or a minimal container runs it:
# nothing in the environment but the POSIX default PATH, whose first folders may be the root-level
# aliases of a merged /usr (/bin before /usr/bin). The tree is copied without its build folders,
# the module built and installed into a folder of its own, then imported from there: the package
# rib/ with the extension as its __init__, its stubs and py.typed beside it, writing a scene.
# Usage: pip_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1 work=$2
rm -rf "$work"
mkdir -p "$work/tree"
cd "$work"

fail() { echo "pip test: $*" >&2; exit 1; }

tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C tree -xf -
posix() { env -i PATH="$(getconf PATH)" HOME="$work" "$@"; }
(cd tree && posix python3 -m pip install --no-build-isolation --no-deps --no-cache-dir \
  --disable-pip-version-check --target "$work/site" . > "$work/pip.log" 2>&1) ||
  fail "pip install failed: $(grep -m3 -i -E 'error|fail' pip.log)"

suffix=$(posix python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
[[ $(ls site/rib | tr '\n' ' ') == "__init__$suffix __init__.pyi py.typed " ]] ||
  fail "site/rib holds $(ls site/rib | tr '\n' ' ')"
posix PYTHONPATH="$work/site" python3 -c '
import rib
print(rib.__file__)
with rib.Context("sphere.rib") as ri:
    ri.Sphere(1, -1, 1, 360)' > where.txt 2> python.err ||
  fail "the installed module fails: $(tail -1 python.err)"
[[ $(cat where.txt) == "$work/site/rib/__init__$suffix" ]] || fail "rib imported from $(cat where.txt)"
printf '##RenderMan RIB-Structure 1.0\nversion 3.03\nSphere 1 -1 1 360\n\n' | cmp -s - sphere.rib ||
  fail "the installed module writes other bytes"
echo "pip test: passed"
