#!/usr/bin/env bash
# Builds the shipped programs a second time in a fresh tree and compares the bytes.
# Usage: check-repro.sh SOURCE_DIR DIST_DIR
set -euo pipefail
src=$1 dist=$2
tree=$(mktemp -d /tmp/cv-repro.XXXXXX)
trap 'rm -rf "$tree"' EXIT
cmake -S "$src" -B "$tree/build" -G Ninja --toolchain "$src/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DSHIPPED_OUTPUT_DIR="$tree/dist" >/dev/null
cmake --build "$tree/build" --target cvmaint cvprobe >/dev/null
status=0
for exe in cvmaint.exe cvprobe.exe; do
    if cmp "$dist/$exe" "$tree/dist/$exe"; then echo "ok: $exe identical in two builds"
    else echo "FAIL: $exe differs between two builds"; status=1; fi
done
exit $status
