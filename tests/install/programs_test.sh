#!/usr/bin/env bash
# The programs as `cmake --install` leaves them in a fresh prefix: each in bin/ with its manual
# page in share/man/man1/, which man shows without a warning, with the usual sections and every
# option that --help lists; --version says "NAME VERSION"; --help gives the usage and a line for
# each option the usage names. (Each program's own tests check its bad arguments.)
# Usage: programs_test.sh BUILD_DIR WORK_DIR CMAKE VERSION PROGRAM...   (those that must be there)
set -euo pipefail
build=$1 work=$2 cmake=$3 version=$4
shift 4
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cd "$work"

fail() { echo "programs test: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" > install.log
for program in "$@"; do
  [[ -x $prefix/bin/$program ]] || fail "$program is not installed in bin/"
done

sections=(NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES "SEE ALSO")
for path in "$prefix"/bin/*; do
  program=$(basename "$path")
  page=$prefix/share/man/man1/$program.1.gz
  [[ -f $page ]] || fail "$program has no manual page"
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
  [[ -z $warnings ]] || fail "man warns about the page of $program: $warnings"
  MANWIDTH=80 man -l "$page" > "$program.page" 2> /dev/null
  for section in "${sections[@]}"; do
    grep -q -x "$section" "$program.page" || fail "the page of $program has no $section section"
  done
  grep -q -E "^ *$program +- " "$program.page" || fail "the page of $program does not name it"

  "$path" --version > out 2> err || fail "$program --version exits with status $?"
  [[ $(cat out) == "$program $version" && ! -s err ]] ||
    fail "$program --version prints '$(cat out)' and '$(cat err)', not '$program $version'"

  "$path" --help > help 2> err || fail "$program --help exits with status $?"
  [[ ! -s err ]] || fail "$program --help writes to standard error: $(head -1 err)"
  head -1 help | grep -q "^usage: $program " || fail "$program --help does not start with its usage"
  # Every option of the usage line, --help and --version have a line of their own.
  for option in $(head -1 help | grep -o -E '(^|[[ |])--?[a-z][a-z-]*' | sed 's/^[[ |]*//' |
                  sort -u) --help --version; do
    grep -q -E "^ *(-[a-z], )?$option( |$)" help || fail "$program --help has no line for $option"
  done
  # ... and the page tells of every option --help lists.
  for option in $(grep -o -e '^ *--[a-z][a-z-]*' help | sort -u); do
    grep -q -e "$option" "$program.page" || fail "the page of $program does not tell of $option"
  done
done

echo "programs test: passed ($(ls "$prefix/bin" | tr '\n' ' '))"
