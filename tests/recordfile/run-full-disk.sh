#!/usr/bin/env bash
# Runs the full-disk record-file test program with a 1 MiB tmpfs mounted in
# the build tree; the program reaches it through drive Z: (the root).
# Usage: run-full-disk.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift
media="$GT_BUILD_DIR/recordfile-full-disk"
cleanup() {
  if mountpoint -q "$media" 2>/dev/null; then umount "$media" || true; fi
  rmdir "$media" 2>/dev/null || true
}
trap cleanup EXIT
cleanup
mkdir -p "$media"
if mount -t tmpfs -o size=1m tmpfs "$media" 2>/dev/null; then
  export GT_FULL_DIR="Z:$(tr / '\\' <<<"$media")"
fi
"$here/../../cmake/wine-run.sh" "$program" "$@"
