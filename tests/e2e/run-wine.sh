#!/usr/bin/env bash
# Runs the end-to-end test program under Wine in a throwaway prefix with a virtual display.
# Usage: run-wine.sh E2E_EXE STANDIN_EXE DIST_DIR [group...]
# Wine run by root passes every file permission check and so ignores read-only files; as
# root this script runs Wine as the unprivileged user "cvtest", created when missing.
# CV_EXTRA_FILES names more files to place beside the test program. CV_DRAWN names a
# directory where the run leaves what it draws: a PNG picture of each message box the
# demonstration shows, and the outcome of each scenario (NAME.txt); CV_DRAWN_SAME_AS names
# a directory of what it must draw again, byte for byte. CV_ROW names one scenario to run
# alone. What Wine writes to the standard error, its trace of the recorded runs among it,
# goes to a file that the test program finds in CV_TRACE.
# CV_GUEST=1 runs it in a virtual machine (see below). Exit code 77 means the run could not
# take place on this machine.
set -euo pipefail
CV_EXTRA_FILES=${CV_EXTRA_FILES:-}
CV_DRAWN=${CV_DRAWN:-}
e2e=$1 standin=$2 dist=$3
shift 3

# Wine starts 32-bit Windows programs with its 32-bit loader, a 32-bit Linux program. A
# kernel booted without 32-bit support (ia32_emulation=off) can neither start it nor run
# 32-bit code at all (the WoW64 mode of later Wines fails there too). There, or wherever
# CV_GUEST=1 asks for it, the same run takes place in a virtual machine over Debian's own
# kernel (guest.sh); only where that cannot run either does the run end as skipped.
if [ -z "${CV_IN_GUEST:-}" ] && "$(dirname "$0")/guest.sh" --needed; then
    exec "$(dirname "$0")/guest.sh" "$CV_DRAWN" "$0" "$e2e" "$standin" "$dist" "$@"
fi

user=$(id -un)
if [ "$(id -u)" = 0 ]; then
    user=cvtest
    id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
fi
as_user() {
    if [ "$(id -u)" = 0 ]; then runuser -u "$user" -- "$@"; else "$@"; fi
}

work=$(mktemp -d /tmp/cv-e2e.XXXXXX)
chmod 755 "$work"
cp "$e2e" "$standin" "$(dirname "$e2e")/faults.dll" "$dist/cvmaint.exe" "$dist/cvprobe.exe" "$(dirname "$0")/../data/traced-calls.txt" \
    "$(dirname "$0")/scenarios.txt" $CV_EXTRA_FILES "$work/"
chown -R "$user" "$work"

# Xvfb picks a free display itself and names it on file descriptor 3, so that runs side by
# side never race for one. As root the X socket directory is made first, owned by root.
if [ "$(id -u)" = 0 ] && [ ! -d /tmp/.X11-unix ]; then install -d -m 1777 /tmp/.X11-unix; fi
as_user sh -c 'exec Xvfb -displayfd 3 -nolisten tcp -ac -screen 0 1024x768x24 3>"$1" >/dev/null 2>&1' \
    sh "$work/display" 2>/dev/null &
xvfb=$!
cleanup() {
    as_user env WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
    pkill -TERM -P "$xvfb" 2>/dev/null || true  # Xvfb itself, when runuser started it
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
display=":$(head -n 1 "$work/display")"

win() { echo "Z:${1//\//\\}"; }
# What the run draws goes to the work directory first, and into CV_DRAWN at the end.
drawn=
if [ -n "$CV_DRAWN" ]; then
    mkdir -p "$CV_DRAWN" "$work/drawn"
    chown "$user" "$work/drawn"
    drawn=$(win "$work/drawn")
fi
run_wine() {
    # One locale on every machine: the dates, the texts and the outcomes depend on it.
    as_user env HOME="$work" WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all LC_ALL=C.UTF-8 \
        WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$display" CV_DRAWN="$drawn" \
        CV_TRACE="$(win "$work/trace")" "$@"
}
run_wine wineboot -i >/dev/null 2>&1
run_wine wineserver -w
# A fresh prefix does not find Wine's own fonts (fonts-wine): without them the boxes are
# drawn in a fallback face, and the close button's Marlett glyph as a plain "r".
as_user cp /usr/share/wine/fonts/* "$work/prefix/drive_c/windows/Fonts/"

# A setup directory the test user cannot write to (Wine ignores the read-only attribute of
# directories, so it is made here, with Unix permissions).
ro="$work/prefix/drive_c/readonly-setup"
mkdir -p "$ro"
cp "$work/cvprobe.exe" "$ro/cvprobe.exe"
cp "$work/$(basename "$standin")" "$ro/cvcfg.exe"
chown -R "$user" "$ro"
chmod 555 "$ro"

run_wine wine "$work/$(basename "$e2e")" "$(win "$work/cvmaint.exe")" "$(win "$work/cvprobe.exe")" \
    "$(win "$work/$(basename "$standin")")" "$@" 2>"$work/trace" && status=0 || status=$?
# PNG without the time of its making, so that pictures of the same pixels are the same bytes.
for picture in "$work"/drawn/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" -define png:exclude-chunks=date,time -strip "${picture%.bmp}.png" &&
        [ -s "${picture%.bmp}.png" ] || status=1
    rm "$picture"
done
cp "$work"/drawn/*.png "$work"/drawn/*.txt "$CV_DRAWN/" 2>/dev/null || true
# With CV_DRAWN_SAME_AS, each picture and outcome there must have been drawn again, byte for
# byte, and each drawn must be there; with CV_ROW, that row's outcome alone.
if [ -n "${CV_DRAWN_SAME_AS:-}" ]; then
    names=$( (cd "$CV_DRAWN_SAME_AS" && ls -- *.png *.txt; cd "$work/drawn" && ls) 2>/dev/null | sort -u)
    [ -z "${CV_ROW:-}" ] || names=$CV_ROW.txt
    for name in $names; do
        cmp -s "$CV_DRAWN_SAME_AS/$name" "$work/drawn/$name" && continue
        echo "FAIL: $name differs from $CV_DRAWN_SAME_AS/$name (scripts/pictures or scripts/outcomes draws" \
            "them again when the change is meant)"
        if [[ $name == *.txt ]]; then diff -u "$CV_DRAWN_SAME_AS/$name" "$work/drawn/$name" | head -n 60 || true; fi
        status=1
    done
fi
exit $status
