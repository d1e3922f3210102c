#!/usr/bin/env bash
# Runs the file-operation drive test program in a Wine prefix of its own:
#   T: a 1 MiB tmpfs, with T:\small a 64 KiB tmpfs mounted inside it (writes
#      there fail for real although the drive reports room), T:\twin1 and
#      T:\twin2 two fresh tmpfs (their first files get the same number),
#      T:\outside-link a link to a directory outside the drive
#   U: a tmpfs holding the generated tree (1000 directories, 20,000 files)
#      and U:\tree\chain 03\link a link to a directory outside the tree
#   V: the directory the links point at (must survive every deletion walk)
# Usage: run-fileops-drive-tests.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../common/prefix-tools.sh"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift

shared="$GT_BUILD_DIR/wineprefix"
pfx="$GT_BUILD_DIR/wineprefix-fileops"
media="$GT_BUILD_DIR/fileops-media"
"$here/../../cmake/wine-prefix.sh" "$shared"

export WINEPREFIX="$pfx" WINEDEBUG=-all
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for m in "$media/t/small" "$media/t/twin1" "$media/t/twin2" "$media/t" "$media/u"; do
    if mountpoint -q "$m" 2>/dev/null; then umount "$m" || true; fi
  done
  rm -rf "$pfx" "$pfx.lock" "$media"
}
trap cleanup EXIT
cleanup

mkdir -p "$media"/{t,u,v}
if ! mount -t tmpfs -o size=1m tmpfs "$media/t" || ! mkdir "$media/t/small" ||
   ! mount -t tmpfs -o size=64k tmpfs "$media/t/small" || ! mount -t tmpfs -o size=160m tmpfs "$media/u" ||
   ! mkdir "$media/t/twin1" "$media/t/twin2" || ! mount -t tmpfs -o size=64k tmpfs "$media/t/twin1" ||
   ! mount -t tmpfs -o size=64k tmpfs "$media/t/twin2"; then
  echo "run-fileops-drive-tests: cannot mount the test file systems (needs root)" >&2
  exit 1
fi
echo "outside data" >"$media/v/precious.txt"
mkdir -p "$media/u/tree"
python3 "$here/make-tree.py" "$media/u/tree"
ln -s "$media/v" "$media/u/tree/chain 03/link"
ln -s "$media/v" "$media/t/outside-link"

cp -a "$shared" "$pfx"
dd="$pfx/dosdevices"
for l in t u v; do ln -sfn "$media/$l" "$dd/$l:"; done
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

run "$program" "$@"
rc=$?
# The links' target, checked from outside as well.
if [ "$(cat "$media/v/precious.txt" 2>/dev/null)" != "outside data" ]; then
  echo "run-fileops-drive-tests: the directory behind the links lost its file" >&2
  rc=1
fi
exit $rc
