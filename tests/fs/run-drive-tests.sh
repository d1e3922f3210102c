#!/usr/bin/env bash
# Runs the drive test program in a Wine prefix of its own with extra drives:
#   A: floppy (empty directory)      M: fixed (directory with a file)
#   N: fixed (directory holding only a hidden file)
#   R: CD-ROM (directory with a file) W: remote (empty directory)
#   T: fixed, a 1 MiB tmpfs when it can be mounted (stable free space)
# Drive types need a fresh Wine server, so the shared prefix is never used.
# Usage: run-drive-tests.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../common/prefix-tools.sh"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift

shared="$GT_BUILD_DIR/wineprefix"
pfx="$GT_BUILD_DIR/wineprefix-drives"
media="$GT_BUILD_DIR/drive-media"
"$here/../../cmake/wine-prefix.sh" "$shared"

export WINEPREFIX="$pfx" WINEDEBUG=-all
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$media/t" 2>/dev/null; then umount "$media/t" || true; fi
  rm -rf "$pfx" "$pfx.lock" "$media"
}
trap cleanup EXIT
cleanup

cp -a "$shared" "$pfx"
mkdir -p "$media"/{a,m,n,r,w,t}
echo data >"$media/m/file.txt"
echo data >"$media/n/.hidden"
echo data >"$media/r/SETUP.EXE"
GT_TMPFS=0
if mount -t tmpfs -o size=1m tmpfs "$media/t" 2>/dev/null; then GT_TMPFS=1; fi
export GT_TMPFS

dd="$pfx/dosdevices"
for l in a m n r w t; do ln -sfn "$media/$l" "$dd/$l:"; done

drivetype a: floppy
drivetype r: cdrom
drivetype w: network
# The types take effect with the next server.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

run "$program" "$@"
rc=$?

# The host program's listing of the same drives.
if [ -n "${GT_GTX:-}" ]; then
  out="$(run "$GT_GTX" drives 2>&1 | tr -d '\r')"
  for want in '^A:  7  floppy .* -$' '^C:  3  fixed ' '^R:  5  cd-rom ' '^W:  4  remote ' \
              'first fixed disk C:, first floppy A:'; do
    if ! grep -Eq "$want" <<<"$out"; then
      echo "gtx drives: no line matching '$want' in:" >&2
      echo "$out" >&2
      rc=1
    fi
  done
fi
exit $rc
