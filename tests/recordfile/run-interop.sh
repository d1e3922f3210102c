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
fi
exit $rc
