#!/usr/bin/env bash
# Creates (once) the Wine prefix given as $1.  Safe to call concurrently.
set -euo pipefail
pfx="$1"
stamp="$pfx/.gt-ready-2"   # bump when the settings below change
[ -f "$stamp" ] && exit 0
mkdir -p "$(dirname "$pfx")"
exec 9>"$pfx.lock"
flock 9
[ -f "$stamp" ] && exit 0
export WINEPREFIX="$pfx" WINEDEBUG=-all
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 </dev/null || true
# Under Xvfb there is no window manager; managed windows make Wine wait two
# seconds for one every time a top-level window is hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
wineserver -w || true
touch "$stamp"
