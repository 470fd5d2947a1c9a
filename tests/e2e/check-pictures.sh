#!/usr/bin/env bash
# Runs the demonstration with pictures and checks that each named one was made, as a PNG
# file that is not empty. Fonts differ between machines, so the pixels are not compared.
# Usage: check-pictures.sh E2E_EXE STANDIN_EXE DIST_DIR NAME...
set -uo pipefail
e2e=$1 standin=$2 dist=$3
shift 3
pictures=$(mktemp -d /tmp/cv-pictures.XXXXXX)
trap 'rm -rf "$pictures"' EXIT
CV_PICTURES=$pictures "$(dirname "$0")/run-wine.sh" "$e2e" "$standin" "$dist" demo
status=$?
[ $status = 77 ] && exit 77
[ $status = 0 ] || echo "FAIL: the demonstration ended with exit code $status"
for name in "$@"; do
    if [ -s "$pictures/$name.png" ] && [ "$(head -c 4 "$pictures/$name.png" | tail -c 3)" = PNG ]; then
        echo "ok: picture $name.png, $(stat -c %s "$pictures/$name.png") bytes"
    else
        echo "FAIL: no picture $name.png"
        status=1
    fi
done
exit $status
