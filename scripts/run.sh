#!/usr/bin/env bash
# Main job: sets everything up, builds, and runs the host program under Wine:
#   scripts/run.sh                -> gtx info
#   scripts/run.sh <gtx arguments>
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/build.sh" >&2
[ $# -gt 0 ] || set -- info
export GT_BUILD_DIR="$build"
# The Wine server goes down before the display does, so that no Wine process
# is left talking to a vanished X server.
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  rc=0
  "$0" "$@" || rc=$?
  WINEPREFIX="$GT_BUILD_DIR/wineprefix" wineserver -k 2>/dev/null || true
  exit $rc' "$root/cmake/wine-run.sh" "$build/bin/gtx.exe" "$@"
