#!/usr/bin/env bash
# Makes the release twice, two seconds apart (FAT keeps times to two seconds), and compares
# the bytes; then lists the floppy image: exactly the three files, at their sizes.
# Usage: check-release.sh SOURCE_DIR
set -uo pipefail
cd "$1"
first=$(mktemp -d /tmp/cv-release.XXXXXX)
trap 'rm -rf "$first"' EXIT
scripts/release >/dev/null && cp dist/release/* "$first/" && sleep 2 && scripts/release >/dev/null ||
    { echo "FAIL: scripts/release failed"; exit 1; }
failed=0
for file in "$first"/*; do
    cmp "$file" "dist/release/${file##*/}" && echo "ok: ${file##*/} identical in two runs" || failed=1
done
expected=$(printf '%s\n' "CVMAINT.EXE $(stat -c %s dist/cvmaint.exe)" "CVPROBE.EXE $(stat -c %s dist/cvprobe.exe)" \
    "README.TXT $(unzip -p dist/release/*.zip README.TXT | wc -c)")
listed=$(mdir -i dist/release/*.img :: | awk '$2 ~ /^[A-Z]+$/ && $3 ~ /^[0-9]+$/ { print $1 "." $2, $3 }')
[ "$listed" = "$expected" ] && echo "ok: the image holds "$listed || { echo "FAIL: the image holds $listed"; failed=1; }
exit $failed
