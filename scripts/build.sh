#!/usr/bin/env bash
# Configures and builds into build/ (or $GT_BUILD).  Bootstrap first.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/bootstrap.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -- -k 0
