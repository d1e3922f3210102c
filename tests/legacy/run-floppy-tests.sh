#!/usr/bin/env bash
# Runs the disk test program in a Wine prefix of its own with these drives:
#   A: floppy, a formatted 1.44 MB image     B: floppy, a zeroed image
#   F: floppy whose image is missing          W: fixed, a writable directory
#   V: fixed, a read-only tmpfs (when it can be mounted)
#   S:, T: fixed, source and target of the system-disk runs
# Drive types need a fresh Wine server, so the shared prefix is never used.
# Usage: run-floppy-tests.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../common/prefix-tools.sh"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift

shared="$GT_BUILD_DIR/wineprefix"
pfx="$GT_BUILD_DIR/wineprefix-floppy"
media="$GT_BUILD_DIR/floppy-media"
"$here/../../cmake/wine-prefix.sh" "$shared"

export WINEPREFIX="$pfx" WINEDEBUG=-all
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$media/v" 2>/dev/null; then umount "$media/v" || true; fi
  rm -rf "$pfx" "$pfx.lock" "$media"
}
trap cleanup EXIT
cleanup

cp -a "$shared" "$pfx"
mkdir -p "$media"/{a,b,f,w,v,s,t}
mkfs.fat -C "$media/formatted.img" 1440 >/dev/null
echo "a file on the floppy" >"$media/hello.txt"
mcopy -i "$media/formatted.img" "$media/hello.txt" ::HELLO.TXT
truncate -s 1474560 "$media/zeroed.img"
GT_READONLY_DRIVE=0
if mount -t tmpfs -o size=64k tmpfs "$media/v" 2>/dev/null; then
  echo "kept" >"$media/v/keep.txt"
  mount -o remount,ro "$media/v" && GT_READONLY_DRIVE=1
fi
export GT_READONLY_DRIVE
export GT_FLOPPY_IMAGE="Z:${media//\//\\}\\formatted.img"

dd="$pfx/dosdevices"
for l in a b f w v s t; do ln -sfn "$media/$l" "$dd/$l:"; done
ln -sfn "$media/formatted.img" "$dd/a::"
ln -sfn "$media/zeroed.img" "$dd/b::"
ln -sfn "$media/missing.img" "$dd/f::"

drivetype a: floppy
drivetype b: floppy
drivetype f: floppy
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

# The first program of the new server session starts Wine's services; start
# them here, detached from the test's output pipe, which they would hold.
run cmd /c exit >/dev/null 2>&1 </dev/null || true
run "$program" "$@"
rc=$?
exit $rc
