#!/usr/bin/env bash
# Makes the release twice and compares the bytes, then lists the floppy image to check
# that it holds the three files at their sizes.
# Usage: check-release.sh SOURCE_DIR
set -uo pipefail
cd "$1"
first=$(mktemp -d /tmp/cv-release.XXXXXX)
trap 'rm -rf "$first"' EXIT
failed=0
ok() { if eval "$1"; then echo "ok: $2"; else echo "FAIL: $2"; failed=1; fi; }

scripts/release >/dev/null || { echo "FAIL: scripts/release failed"; exit 1; }
cp dist/release/* "$first/"
sleep 2  # FAT keeps times to 2 seconds: a date taken from the clock would now differ
scripts/release >/dev/null || { echo "FAIL: scripts/release failed the second time"; exit 1; }
for file in "$first"/*; do
    ok 'cmp -s "$file" "dist/release/${file##*/}"' "${file##*/} identical in two runs"
done
ok '(cd dist/release && sha256sum --quiet -c SHA256SUMS)' "SHA256SUMS matches"

image=$(echo dist/release/*.img)
readme=$(unzip -p dist/release/*.zip README.TXT | wc -c)
listing=$(mdir -i "$image" :: | awk '{ print $1 "." $2, $3 }')
for file in "CVMAINT.EXE $(stat -c %s dist/cvmaint.exe)" "CVPROBE.EXE $(stat -c %s dist/cvprobe.exe)" \
            "README.TXT $readme"; do
    ok 'grep -qx "$file" <<<"$listing"' "the image holds $file bytes"
done
ok '[[ $(grep -c "^[A-Z0-9]\+\.[A-Z]\+ [0-9]\+$" <<<"$listing") == 3 ]]' "the image holds three files"
ok '[[ $(stat -c %s "$image") == 1474560 ]]' "the image is a 1.44 MB floppy"
exit $failed
