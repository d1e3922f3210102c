#!/usr/bin/env bash
# Creates (once) the Wine prefix given as $1.  Safe to call concurrently.
set -euo pipefail
pfx="$1"
[ -f "$pfx/.gt-ready" ] && exit 0
mkdir -p "$(dirname "$pfx")"
exec 9>"$pfx.lock"
flock 9
[ -f "$pfx/.gt-ready" ] && exit 0
export WINEPREFIX="$pfx" WINEDEBUG=-all
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
touch "$pfx/.gt-ready"
