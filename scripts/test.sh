#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite under Wine inside
# one Xvfb display.  Ends with CTest's summary line; non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/build.sh"
export GT_BUILD_DIR="$build"
"$root/cmake/wine-prefix.sh" "$build/wineprefix"
cd "$build"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
  bash -c '
    export WINEPREFIX="$GT_BUILD_DIR/wineprefix" WINEDEBUG=-all
    wineserver -p 60 >/dev/null 2>&1 </dev/null
    # The first program of a server session starts Wine'"'"'s services, which
    # would inherit (and hold open) the output pipe of whichever test came
    # first: start them here, detached from every pipe.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    ctest --output-on-failure -j2 "$@"' ctest "$@" || status=$?
WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true
exit $status
