#!/usr/bin/env bash
# Runs the end-to-end rig (build/windows/tests/e2e/) on the programs in dist/ under Wine, in a
# throwaway prefix with a virtual display. Usage: run-wine.sh [scenarios|demo|bench N]
# As root it runs Wine as the unprivileged user "cvtest" (made when missing): Wine run by root
# passes every permission check, and so ignores read-only files. CV_DRAWN: where the run leaves
# what it draws (a PNG of each box the demonstration shows, the outcome NAME.txt of each
# scenario, and NAME.sweep of each swept one); CV_DRAWN_SAME_AS: what it must draw again, byte
# for byte; CV_ROW: one scenario alone; CV_SHARE=K/N: every N-th scenario from the K-th;
# CV_SWEEP=0: no row swept. Wine's standard error, its trace
# among it, goes to the file CV_TRACE names to the rig.
# CV_GUEST=1 runs it in a virtual machine (see below). Exit code 77: it cannot run here.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
CV_DRAWN=${CV_DRAWN:-}
[ -z "$CV_DRAWN" ] || { mkdir -p "$CV_DRAWN" && CV_DRAWN=$(cd "$CV_DRAWN" && pwd); }
rig=$here/build/windows/tests/e2e
# A prefix that wineboot has made, kept for each Wine version on this machine (within the
# tree, for a user who is not root): making one costs more than many runs.
prefixes=/var/cache/corvane-prefixes
[ "$(id -u)" = 0 ] || prefixes=$here/build/wine-prefixes
mkdir -p "$prefixes"
kept=$prefixes/wine-$(dpkg-query -W -f='${Version}' wine32:i386 | tr -c 'A-Za-z0-9.\n-' _)

# A kernel booted without 32-bit support (ia32_emulation=off) cannot start Wine's 32-bit loader
# nor run 32-bit code at all (the WoW64 mode of later Wines fails there too). There, or where
# CV_GUEST=1 asks for it, the run takes place in a virtual machine over Debian's own kernel
# (guest.sh); only where that cannot run either does the run end as skipped.
if [ -z "${CV_IN_GUEST:-}" ] && "$here/tests/e2e/guest.sh" --needed; then
    # There the kept prefix is read from a disk image of it, made here once: copying it over
    # the shared folder costs more than many runs.
    [ ! -d "$kept" ] || [ -e "$kept.img" ] || { new=$(mktemp "$kept.img.XXXXXX") &&
        mkfs.ext4 -q -F -d "$kept" "$new" 2G && mv "$new" "$kept.img"; }
    [ ! -e "$kept.img" ] || export CV_GUEST_DISK=$kept.img
    exec "$here/tests/e2e/guest.sh" "$CV_DRAWN:$prefixes" "$0" "$@"
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
mkdir "$work/drawn" "$work/prefix"
cp "$rig/e2e.exe" "$rig/standin.exe" "$rig/empty.exe" "$rig/faults.dll" "$here/dist/cvmaint.exe" \
    "$here/dist/cvprobe.exe" "$here/tests/data/traced-calls.txt" "$here/tests/e2e/scenarios.txt" "$work/"
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
    umount -l "$work/prefix" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
display=$(head -n 1 "$work/display")

win() { echo "Z:${1//\//\\}"; }
run_wine() {
    # One locale on every machine, or a row's (CV_LOCALE): the dates, texts and outcomes depend on it.
    as_user env HOME="$work" WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all LC_ALL="${CV_LOCALE:-C}.UTF-8" \
        CV_LOCALE="${CV_LOCALE:-}" \
        WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=":$display" \
        CV_DRAWN="$(win "$work/drawn")" CV_TRACE="$(win "$work/trace")" "$@"
}
# The prefix of this Wine version, made once and kept (by the user who runs Wine), and copied
# for each run, or seen through the disk image the virtual machine was given (its writes go
# elsewhere). Runs side by side that find none each make one; the first to finish keeps its own.
[ ! -d "$kept" ] || [ "$(stat -c %U "$kept/drive_c")" = "$user" ] || rm -rf "$kept" "$kept.img"
if [ -b /dev/vdb ] && [ -d "$kept" ]; then
    mount /dev/vdb "$work/prefix" && chown "$user" "$work/prefix"
elif [ -d "$kept" ]; then
    cp -a "$kept/." "$work/prefix/"
else
    run_wine wineboot -i >/dev/null 2>&1
    run_wine wineserver -w
    # A fresh prefix does not find Wine's own fonts (fonts-wine): without them the boxes are
    # drawn in a fallback face, and the close button's Marlett glyph as a plain "r".
    as_user cp /usr/share/wine/fonts/* "$work/prefix/drive_c/windows/Fonts/"
    # A name of its own (not $$: a process number repeats from one virtual machine to the next).
    new=$(mktemp -d "$kept.XXXXXX")
    cp -a "$work/prefix/." "$new/" && { mv -T "$new" "$kept" 2>/dev/null || rm -rf "$new"; }
fi
# wineboot pointed the user's folders (Desktop, Documents...) at the HOME of the run that made it.
for folder in "$work/prefix/drive_c/users/$user"/*; do [ ! -L "$folder" ] || as_user ln -sfn "$work" "$folder"; done

# A setup directory the test user cannot write to (Wine ignores the read-only attribute of
# directories, so it is made here, with Unix permissions).
ro="$work/prefix/drive_c/readonly-setup"
mkdir -p "$ro"
cp "$work/cvprobe.exe" "$ro/cvprobe.exe"
cp "$work/standin.exe" "$ro/cvcfg.exe"
chown -R "$user" "$ro"
chmod 555 "$ro"

# Wine takes a process's language and code page from its Unix locale: the rig runs the rows of
# each locale that this share's rows name (locale ll_CC) in a run of its own, under it.
share=${CV_SHARE:-1/1}
locales=$([ "${1:-scenarios}" != scenarios ] || awk -v k="${share%/*}" -v n="${share#*/}" -v only="${CV_ROW:-}" \
    '/^\[/ { row = substr($1, 2, length($1) - 2); i++ } /^locale / && (only ? row == only : (i - 1) % n == k - 1) { print $2 }' \
    "$work/scenarios.txt" | sort -u)
status=0
run_wine wineserver -p  # one server for all the runs, not one started anew for each
for CV_LOCALE in "" $locales; do
    run_wine wine "$work/e2e.exe" "$(win "$work/cvmaint.exe")" "$(win "$work/cvprobe.exe")" \
        "$(win "$work/standin.exe")" "$@" 2>"$work/trace" || status=$?
done
# PNG without the time of its making, so that pictures of the same pixels are the same bytes.
for picture in "$work"/drawn/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" -define png:exclude-chunks=date,time -strip "${picture%.bmp}.png" &&
        [ -s "${picture%.bmp}.png" ] || status=1
    rm "$picture"
done
[ -z "$CV_DRAWN" ] || cp "$work"/drawn/* "$CV_DRAWN/" 2>/dev/null || true
# With CV_DRAWN_SAME_AS, each picture and outcome there must have been drawn again, byte for
# byte, and each drawn must be there; with CV_ROW, what was drawn alone. With CV_SHARE
# (K/N: the rig ran every N-th row, and the K-th of every N runs of each sweep), an outcome
# there that this share did not draw must be another share's row.
if [ -n "${CV_DRAWN_SAME_AS:-}" ]; then
    sweeps=$([ "${CV_SWEEP:-1}" = 0 ] || echo '*.sweep')  # none drawn with CV_SWEEP=0
    names=$( (cd "$CV_DRAWN_SAME_AS" && ls -- *.png *.txt $sweeps; cd "$work/drawn" && ls) 2>/dev/null | sort -u)
    [ -z "${CV_ROW:-}" ] || names=$(ls "$work/drawn")
    for name in $names; do
        expected=$CV_DRAWN_SAME_AS/$name
        if [[ $name == *.sweep && ${CV_SHARE:-1/1} != 1/1 && -e $expected ]]; then  # this share's runs of it
            awk -v k="${CV_SHARE%/*}" -v n="${CV_SHARE#*/}" 'NR == 1 || (NR - 2) % n == k - 1' "$expected" >"$work/expected"
            expected=$work/expected
        fi
        cmp -s "$expected" "$work/drawn/$name" && continue
        [ -n "${CV_SHARE:-}" ] && [ ! -e "$work/drawn/$name" ] &&
            awk -v row="[${name%.*}]" '$1 == row { found = 1 } END { exit !found }' "$work/scenarios.txt" && continue
        echo "FAIL: $name differs from $CV_DRAWN_SAME_AS/$name (scripts/pictures or scripts/outcomes draws" \
            "them again when the change is meant)"
        if [[ $name != *.png ]]; then diff -u "$expected" "$work/drawn/$name" | head -n 60 || true; fi
        status=1
    done
fi
exit $status
