#!/usr/bin/env bash
# Builds and runs every benchmark under Wine; each prints its own ratio.
set -euo pipefail
# One display for all of them; Wine goes down before it does.
if [ -z "${GT_BENCH_DISPLAY:-}" ]; then
  exec env GT_BENCH_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/build.sh" >/dev/null
export GT_BUILD_DIR="$build"
cd "$build/bin"
for b in bench_*.exe; do
  [ -e "$b" ] || continue
  [ $# -gt 0 ] && ! [[ "$b" =~ $1 ]] && continue
  echo "== $b"
  "$root/cmake/wine-run.sh" "./$b"
done
WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true
