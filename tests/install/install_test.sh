#!/usr/bin/env bash
# Installs the library into a fresh prefix and builds against it from outside the tree:
#   - examples/simple_scene.c with `cc $(pkg-config --cflags --libs rib)` (shared) and with
#     `--static`, each run and compared with the golden RIB;
#   - a C++ program and the same C example through find_package(rib) (rib::rib_shared, rib::rib),
#     and a program with a class of its own named like one of the library's, linked statically;
#   - a RIB filter with pkg-config, reading ASCII and binary RIB and writing its own change;
#   - the shared library's dynamic symbols: nothing outside the public interface.
#   - cpack -G DEB: a Debian package holding the headers and both libraries.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR WORK_DIR C_COMPILER CMAKE
set -euo pipefail
build=$1 source=$2 work=$3 cc=$4 cmake=$5
golden=$source/examples/simple_scene.rib.golden
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix

fail() { echo "install test: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" --component rib > "$work/install.log"
for f in include/rib/ri.h include/rib/RiContext.h include/rib/RibRead.h include/rib/RiRequests.def \
         include/rib/RiTokens.def lib/librib.a lib/pkgconfig/rib.pc \
         lib/cmake/rib/ribConfig.cmake lib/cmake/rib/ribConfigVersion.cmake; do
  [[ -e $prefix/$f ]] || fail "$f is not installed"
done
soname=$(objdump -p "$prefix/lib/librib.so" | awk '/SONAME/ {print $2}')
[[ $soname == librib.so.[0-9]* ]] || fail "librib.so has no versioned SONAME ($soname)"
soname_version=${soname#librib.so.}
[[ -z $(ls "$prefix/include/rib" | grep -v -e '^ri.h$' -e '^RiContext.h$' -e '^RibRead.h$' -e '\.def$') ]] ||
  fail "private headers are installed: $(ls "$prefix/include/rib")"

# pkg-config, shared and static.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cd "$work"
"$cc" -std=c99 -o scene_shared "$source/examples/simple_scene.c" $(pkg-config --cflags --libs rib)
LD_LIBRARY_PATH=$prefix/lib ./scene_shared shared.rib
cmp shared.rib "$golden" || fail "the example built with pkg-config (shared) writes other bytes"
"$cc" -std=c99 -static -o scene_static "$source/examples/simple_scene.c" \
  $(pkg-config --static --cflags --libs rib)
./scene_static static.rib
cmp static.rib "$golden" || fail "the example built with pkg-config --static writes other bytes"

# A RIB filter with pkg-config: the scene read as ASCII and as binary RIB (rib-cat --binary), each
# written again with its one plastic surface made matte.
c++ -std=c++17 -o matte_filter "$source/tests/install/consumer/matte_filter.cpp" \
  $(pkg-config --cflags --libs rib)
sed 's/^Surface "plastic".*/Surface "matte"/' "$golden" > matte.expected
"$build/rib-cat" --binary -o scene_binary.rib "$golden"
for input in "$golden" scene_binary.rib; do
  LD_LIBRARY_PATH=$prefix/lib ./matte_filter "$input" matte.rib ||
    fail "the filter found problems in $input"
  cmp matte.rib matte.expected || fail "the filter built with pkg-config writes other bytes"
done

# find_package(rib).
"$cmake" -S "$source/tests/install/consumer" -B consumer -DCMAKE_PREFIX_PATH="$prefix" \
  -DEXAMPLE="$source/examples/simple_scene.c" > consumer.log
"$cmake" --build consumer >> consumer.log
consumer/scene_static cmake_static.rib
cmp cmake_static.rib "$golden" || fail "the example built with find_package (rib::rib) differs"
LD_LIBRARY_PATH=$prefix/lib consumer/sphere_shared > sphere.rib
printf '##RenderMan RIB-Structure 1.0\nversion 3.03\nWorldBegin\nSphere 1 -1 1 360 "Kd" [0.5]\nWorldEnd\n\n' > sphere.expected
cmp sphere.rib sphere.expected || fail "the C++ program built with find_package (rib::rib_shared) differs"
consumer/own_writer > own_writer.rib
printf '##RenderMan RIB-Structure 1.0\nversion 3.03\nSphere 1 -1 1 360\n\n' > own_writer.expected
cmp own_writer.rib own_writer.expected || fail "a program with its own RibWriter class writes other bytes"

# The shared library's interface: the C procedures, the g* variables, RiContext and the reading
# interface of rib/RibRead.h, nothing else.
nm -D --defined-only "$prefix/lib/librib.so" | awk '{print $3}' | c++filt > symbols.txt
if grep -v -E '^(Ri[A-Za-z]*|RI_[A-Z0-9_]*|gRib[A-Za-z]*|_init|_fini|(typeinfo|typeinfo name|vtable) for (RiContext|rib::ForwardingContext)|RiContext::.*|rib::ForwardingContext::.*|rib::RibReadSession::(~?RibReadSession|read|setProgress)\(.*|rib::readRib\(.*)$' symbols.txt > extra.txt; then
  fail "librib.so exports names outside its interface: $(head -5 extra.txt | tr '\n' ' ')"
fi
grep -q '^RiSphere$' symbols.txt || fail "librib.so does not export RiSphere"
# The static library's classes: RiContext and the rib namespace, no other name a user's program
# might define too.
nm -C --defined-only "$prefix/lib/librib.a" | awk '$2 ~ /^[TWDVRB]$/ {$1 = $2 = ""; print}' |
  sed 's/^ *//' > static_symbols.txt
if grep -E '^([a-z ]+ for )?[A-Za-z_][A-Za-z0-9_]*::' static_symbols.txt |
    grep -v -E '^([a-z ]+ for )?(rib|RiContext|std|__gnu_cxx)::' > static_extra.txt; then
  fail "librib.a defines classes outside its namespace: $(sort -u static_extra.txt | head -3 | tr '\n' ' ')"
fi
# cpack -G DEB: a package of the library and its headers.
(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log")
deb=$(ls "$work"/package/*.deb)
dpkg-deb -c "$deb" > package.txt
for f in usr/include/rib/ri.h usr/lib/librib.a "usr/lib/librib.so.$soname_version" \
         usr/lib/pkgconfig/rib.pc usr/lib/cmake/rib/ribConfig.cmake; do
  grep -q -E "\./$f( |$)" package.txt || fail "the Debian package lacks $f"
done
echo "install test: passed"
