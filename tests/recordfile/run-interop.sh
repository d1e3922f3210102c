#!/usr/bin/env bash
# Runs the storage test program between two independent implementations:
#  before: libgsf's createole writes a document from files of agreed bytes,
#          and broken documents are made from it;
#  after:  Python's olefile reads the document the program wrote and compares
#          it with the manifest the program wrote beside it.
# Usage: run-interop.sh PROGRAM [gtest arguments...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${GT_BUILD_DIR:?GT_BUILD_DIR not set}"
program="$1"
shift
work="$GT_BUILD_DIR/interop-storage"
rm -rf "$work"
mkdir -p "$work/in"
/usr/bin/python3 "$here/interop.py" prepare "$work" || exit 1
GT_INTEROP_DIR="Z:$(tr / '\\' <<<"$work")" "$here/../../cmake/wine-run.sh" "$program" "$@"
rc=$?
/usr/bin/python3 "$here/interop.py" check "$work" || rc=1
# The host program reads the same document: one stream's bytes and the tree.
if [ -n "${GT_GTX:-}" ] && [ -e "$work/written.stg" ]; then
  doc="Z:$(tr / '\\' <<<"$work/written.stg")"
  "$here/../../cmake/wine-run.sh" "$GT_GTX" stg cat "$doc" "storage a/just above" >"$work/cat.out"
  /usr/bin/python3 "$here/interop.py" same "$work/cat.out" 4097 4 || { echo "gtx stg cat: bytes differ"; rc=1; }
  listing="$("$here/../../cmake/wine-run.sh" "$GT_GTX" stg ls "$doc" 2>&1 | tr -d '\r')"
  grep -Eq '^ +stream +5242880 .* five MiB$' <<<"$listing" || { echo "gtx stg ls: no five MiB stream in:"; echo "$listing"; rc=1; }
  # Records: remove the second of three behind an 8-byte header, then list.
  printf 'HEADER--AAAABBBBCCCC' >"$work/records.dat"
  rec="Z:$(tr / '\\' <<<"$work/records.dat")"
  "$here/../../cmake/wine-run.sh" "$GT_GTX" rec rm "$rec" 2 --header 8 --len 4 || rc=1
  [ "$(cat "$work/records.dat")" = 'HEADER--AAAACCCC' ] || { echo "gtx rec rm: file holds $(cat "$work/records.dat")"; rc=1; }
  listing="$("$here/../../cmake/wine-run.sh" "$GT_GTX" rec ls "$rec" --header 8 --len 4 2>&1 | tr -d '\r')"
  grep -Eq '^ +2 +12 43434343$' <<<"$listing" || { echo "gtx rec ls: no second record CCCC in:"; echo "$listing"; rc=1; }
fi
exit $rc
