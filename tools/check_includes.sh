#!/bin/sh
# Fails when a file outside src/platform includes a toolkit or library header
# (Qt, expat, curl, libpng): the program's logic reaches them only through the
# platform facilities.
top=${1:-.}
hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*|expat[^>"]*|curl/[^>"]*|png\.h|zlib\.h)[>"]' \
  "$top/src" "$top/tools" 2>/dev/null | grep -v "^$top/src/platform/")
if [ -n "$hits" ]; then
  echo "toolkit or library headers included outside src/platform:"
  echo "$hits"
  exit 1
fi
echo "ok: toolkit and library headers only in src/platform"
