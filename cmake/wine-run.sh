#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the build tree's own prefix.
# Used as CMAKE_CROSSCOMPILING_EMULATOR and by the README commands.
# The prefix is created once per build tree (serialised by a lock file).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
export WINEPREFIX="${WINEPREFIX:-$GT_BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$here/wine-prefix.sh" "$WINEPREFIX"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
