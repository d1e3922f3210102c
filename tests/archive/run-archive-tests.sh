#!/usr/bin/env bash
# Runs the archive test program in a Wine prefix of its own, with
#   - a source tree and archives of it written by Info-ZIP zip (levels 0, 1,
#     5, 9), Python's zipfile and gsf, for the program to extract;
#   - T: a 1 MiB tmpfs (a disk that really fills up) when it can be mounted;
# then checks the archives the program wrote with unzip -t, python -m zipfile
# -t and extraction by both, byte for byte against the tree.
# Usage: run-archive-tests.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../common/prefix-tools.sh"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift

shared="$GT_BUILD_DIR/wineprefix"
pfx="$GT_BUILD_DIR/wineprefix-archive"
work="$GT_BUILD_DIR/archive-work"
"$here/../../cmake/wine-prefix.sh" "$shared"

export WINEPREFIX="$pfx" WINEDEBUG=-all LC_ALL=C.UTF-8
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$work/t" 2>/dev/null; then umount "$work/t" || true; fi
  rm -rf "$pfx" "$pfx.lock" "$work"
}
trap cleanup EXIT
cleanup

cp -a "$shared" "$pfx"
mkdir -p "$work"/{fixtures,ours,t}
python3 "$here/make-fixtures.py" "$work/tree" "$work/fixtures" || exit 1
GT_TMPFS=0
if mount -t tmpfs -o size=1m tmpfs "$work/t" 2>/dev/null; then GT_TMPFS=1; fi
ln -sfn "$work/t" "$pfx/dosdevices/t:"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
export GT_TMPFS GT_ARCHIVE_WORK="Z:${work//\//\\}"

run "$program" "$@"
rc=$?

# The host program's listing and extraction of an Info-ZIP archive.
if [ -n "${GT_GTX:-}" ]; then
  fixture="$GT_ARCHIVE_WORK\\fixtures\\zip-9.zip"
  listing="$(run "$GT_GTX" zip --list "$fixture" 2>&1 | tr -d '\r')"
  for want in ' readme.txt$' ' sub/deeper/deep.bin$' ' 11 entries$'; do
    if ! grep -Eq "$want" <<<"$listing"; then echo "case gtx zip --list: no line matching '$want'" >&2; rc=1; fi
  done
  run "$GT_GTX" unzip "$fixture" "$GT_ARCHIVE_WORK\\gtx" --spec '*.txt' >/dev/null 2>&1
  got="$(cd "$work/gtx" 2>/dev/null && find . -type f | sort | tr '\n' ' ')"
  if [ "$got" != "./readme.txt ./sub/nested.txt ./with blank.txt ./日本語.txt " ]; then
    echo "case gtx unzip --spec '*.txt': extracted [$got]" >&2
    rc=1
  fi
fi

# The archives the program wrote, through the other tools.
for archive in "$work"/ours/*.zip; do
  [ -e "$archive" ] || { echo "no archives written by the program" >&2; rc=1; break; }
  name="$(basename "$archive")"
  if ! unzip -tq "$archive" >/dev/null; then echo "case $name: unzip -t failed" >&2; rc=1; fi
  if ! python3 -m zipfile -t "$archive" >/dev/null; then echo "case $name: python -m zipfile -t failed" >&2; rc=1; fi
  rm -rf "$work/x"
  mkdir -p "$work/x/unzip" "$work/x/python"
  unzip -q "$archive" -d "$work/x/unzip" >/dev/null
  python3 -m zipfile -e "$archive" "$work/x/python"
  for tool in unzip python; do
    if ! diff -r "$work/tree" "$work/x/$tool" >/dev/null; then
      echo "case $name: extracted by $tool differs from the tree:" >&2
      diff -r "$work/tree" "$work/x/$tool" >&2
      rc=1
    fi
  done
done
exit $rc
