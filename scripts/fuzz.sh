#!/usr/bin/env bash
# Long fuzz pass of one family: scripts/fuzz.sh FAMILY [SECONDS] [SEED]
# Builds the harness, runs FAMILY for SECONDS (default 600) from SEED
# (default: a random one, printed) under Wine inside Xvfb, and prints the
# seed of a failing case.  Families with a code page 932 pass (see
# tests/fuzz/CMakeLists.txt) run half the time under each code page.  Long
# passes run in a prefix of their own, so they can go on beside the suite.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: scripts/fuzz.sh FAMILY [SECONDS] [SEED]" >&2
  exit 2
fi
family="$1"
seconds="${2:-600}"
seed="${3:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/build.sh" >/dev/null
ninja -C "$build" fuzz_gtapi32 >/dev/null
prefix="$build/wineprefix-fuzz"
"$root/cmake/wine-prefix.sh" "$prefix"
locales=("")
if grep -Eq "^gt_fuzz_family\\($family( .*)? CP932" "$root/tests/fuzz/CMakeLists.txt"; then
  locales=("" "ja_JP.UTF-8")
  seconds=$((seconds / 2))
fi
echo "fuzz $family: ${seconds} s per pass from seed $seed"
status=0
for locale in "${locales[@]}"; do
  GT_FUZZ_LOCALE="$locale" GT_FUZZ_PREFIX="$prefix" GT_BUILD_DIR="$build" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    export WINEPREFIX="$GT_FUZZ_PREFIX" WINEDEBUG=-all
    [ -n "$GT_FUZZ_LOCALE" ] && export LC_ALL="$GT_FUZZ_LOCALE"
    wineserver -p 60 >/dev/null 2>&1 </dev/null
    # Wine'"'"'s services start with the first program: not with ours, whose
    # output they would hold open.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    cd "$GT_BUILD_DIR/bin"
    wine ./fuzz_gtapi32.exe "$@" </dev/null' fuzz "$family" --seconds "$seconds" --seed "$seed" || status=$?
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  [ $status -ne 0 ] && break
done
exit $status
