#!/usr/bin/env bash
# The Debian packages of `cpack -G DEB`: the five packages, each passed by lintian with no error
# and no warning other than those the README justifies; each holding exactly its files, with its
# control fields and the Depends its binaries need; and, unpacked with dpkg-deb -x into a folder,
# programs that run from there: rib-check, a conversion with rib-cat there and back, the example
# built against librib-dev and run with librib1.
# Usage: packages_test.sh BUILD_DIR SOURCE_DIR WORK_DIR VERSION C_COMPILER PYTHON
set -euo pipefail
build=$1 source=$2 work=$3 version=$4 cc=$5 python=$6
golden=$source/examples/simple_scene.rib.golden
rm -rf "$work"
mkdir -p "$work"
cd "$work"

fail() { echo "packages test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/debs" > "$work/cpack.log" 2>&1) ||
  fail "cpack failed: $(tail -3 cpack.log)"
deb=$version-1
packages=(librib1 librib-dev rib-tools python3-rib wobblerama)
for package in "${packages[@]}"; do
  [[ -f debs/${package}_${deb}_amd64.deb ]] || fail "no package $package ($(ls debs))"
done
[[ $(ls debs/*.deb | wc -l) -eq 5 ]] || fail "more packages than five: $(ls debs)"

# The warnings the README names and justifies; anything else fails.
kept='^W: [a-z0-9-]+: (initial-upload-closes-no-bugs|maintscript-calls-ldconfig|pkg-config-unavailable-for-cross-compilation) '
lintian --allow-root debs/*.deb > lintian.txt 2>&1 || true
if grep -v -E "$kept" lintian.txt; then
  fail "lintian reports the lines above"
fi

# Contents: exactly these files (rib-view and rib-farm in rib-tools where built).
contents() { dpkg-deb -c "debs/$1_${deb}_amd64.deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||'; }
expect() {
  local package=$1
  shift
  printf '%s\n' "$@" usr/share/doc/$package/copyright usr/share/doc/$package/changelog.Debian.gz |
    sort > "$package.expected"
  contents "$package" | grep -v -E '/(rib-view|rib-farm)(\.1\.gz)?$' | sort > "$package.files"
  diff "$package.expected" "$package.files" > /dev/null ||
    fail "$package holds other files: $(diff "$package.expected" "$package.files" | tr '\n' ' ')"
}
expect librib1 usr/lib/librib.so.1 usr/lib/librib.so.$version
expect librib-dev usr/include/rib/{ri.h,RiContext.h,RibRead.h,RiContextOverrides.def} \
  usr/include/rib/{RiRequests.def,RiTokens.def} usr/lib/librib.a usr/lib/librib.so \
  usr/lib/pkgconfig/rib.pc usr/lib/cmake/rib/{ribConfig,ribConfigVersion,ribTargets}.cmake \
  usr/lib/cmake/rib/ribTargets-release.cmake
expect rib-tools usr/bin/rib-check usr/bin/rib-cat usr/share/man/man1/{rib-check,rib-cat}.1.gz
module=$("$python" -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
expect python3-rib usr/lib/python3/dist-packages/rib/{__init__$module,__init__.pyi,py.typed}
expect wobblerama usr/bin/wobblerama usr/bin/wobblerama-sim \
  usr/share/man/man1/{wobblerama,wobblerama-sim}.1.gz usr/share/applications/wobblerama.desktop \
  usr/share/icons/hicolor/scalable/apps/wobblerama.svg

# Control fields and dependencies.
field() { dpkg-deb -f "debs/$1_${deb}_amd64.deb" "$2"; }
declare -A section=([librib1]=libs [librib-dev]=libdevel [rib-tools]=graphics [python3-rib]=python
                    [wobblerama]=graphics)
for package in "${packages[@]}"; do
  [[ $(field $package Package) == "$package" && $(field $package Version) == "$deb" ]] ||
    fail "$package has the wrong name or version"
  [[ $(field $package Priority) == optional ]] || fail "$package has no Priority optional"
  [[ $(field $package Maintainer) == *"<"*@*">" ]] || fail "$package has no maintainer's address"
  [[ $(field $package Section) == "${section[$package]}" ]] || fail "$package is not in ${section[$package]}"
done
depends() {
  local package=$1
  shift
  for dependency in "$@"; do
    field "$package" Depends | tr ',' '\n' | grep -q -E "^ *$dependency" ||
      fail "$package does not depend on $dependency: $(field "$package" Depends)"
  done
}
depends librib1 'libc6 \(' 'libstdc\+\+6 \(' 'zlib1g \(' 'libdeflate0 \('
depends librib-dev "librib1 \(= $deb\)" 'zlib1g-dev$' 'libdeflate-dev$'
depends rib-tools 'libc6 \(' 'zlib1g \('
depends python3-rib 'python3 \(>= 3' 'python3 \(<< 3' 'python3-numpy$' 'libstdc\+\+6 \('
depends wobblerama 'libglut' 'libc6 \('
dpkg-deb --ctrl-tarfile debs/librib1_${deb}_amd64.deb | tar -xO ./shlibs | grep -q "^librib 1 librib1" ||
  fail "librib1 has no shlibs file naming it"

# Unpacked, the packages work from where they lie.
for package in "${packages[@]}"; do dpkg-deb -x debs/${package}_${deb}_amd64.deb root; done
[[ $(root/usr/bin/rib-check --version) == "rib-check $version" ]] || fail "rib-check --version"
root/usr/bin/rib-cat --binary -o scene.rib "$golden"
root/usr/bin/rib-check scene.rib > check.txt || fail "rib-check finds problems: $(head -1 check.txt)"
root/usr/bin/rib-cat scene.rib > again.rib
cmp -s again.rib "$golden" || fail "rib-cat there and back does not give the scene again"
# librib-dev's pkg-config file finds its prefix from where it lies.
"$cc" -std=c99 -o scene "$source/examples/simple_scene.c" \
  $(PKG_CONFIG_PATH=$PWD/root/usr/lib/pkgconfig pkg-config --cflags --libs rib)
LD_LIBRARY_PATH=$PWD/root/usr/lib ./scene built.rib
cmp -s built.rib "$golden" || fail "the example built with librib-dev writes other bytes"
echo "packages test: passed"
