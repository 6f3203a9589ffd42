#!/usr/bin/env bash
# The simulator compiled to WebAssembly against the native one: a long run with kicks, the
# initial state and bad arguments give the same standard output, standard error and exit status,
# byte for byte.
#   WebSimTest.sh NATIVE_SIM WEB_SIM_JS      (exit 0 passed, 1 failed, 77 skipped)
set -uo pipefail
native=$1 web=$2
if [ ! -f "$web" ]; then
  echo "skipped: no $web (scripts/web.sh builds it)"
  exit 77
fi
node=$(command -v node || command -v nodejs) || { echo "skipped: node is not installed"; exit 77; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
same() { # name, then the arguments of both runs
  local name=$1
  shift
  "$native" "$@" >"$out/native.out" 2>"$out/native.err"
  echo $? >"$out/native.status"
  "$node" "$web" "$@" >"$out/web.out" 2>"$out/web.err"
  echo $? >"$out/web.status"
  for part in out err status; do
    if ! cmp -s "$out/native.$part" "$out/web.$part"; then
      echo "FAIL $name: standard $part differs (wobblerama-sim $*)"
      diff "$out/native.$part" "$out/web.$part" | head -5
      failures=$((failures + 1))
      return
    fi
  done
  echo "ok   $name ($(wc -l <"$out/web.out") lines, status $(cat "$out/web.status"))"
}

# Kicks of every mode, two at the same step, one while the block still falls, several while it
# bounces and rolls off the spheres; 40000 steps printed every 100.
same "a long run with kicks" --steps 40000 --every 100 --push 0:2 --push 250:0 --push 250:0 \
  --push 1500:1 --push 4000:2 --push 9000:0 --push 20000:2 --push 30000:1
same "the initial state" --steps 0
same "a push mode out of range" --steps 10 --push 5:3
same "a negative step count" --steps -1
[ "$failures" -eq 0 ]
