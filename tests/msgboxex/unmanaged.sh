#!/usr/bin/env bash
# Marks the named programs' windows as not managed by a window manager in the
# build tree's Wine prefix.  Under Xvfb there is none, and Wine waits two
# seconds for it each time a managed top-level window is hidden.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for exe in "$@"; do
  "$here/../../cmake/wine-run.sh" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" \
    /v Managed /d N /f >/dev/null
done
