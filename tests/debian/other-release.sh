#!/usr/bin/env bash
# Runs scripts/test once more under the other Debian release the project is built on (12
# "bookworm" on a Debian 13 machine, 13 "trixie" on a Debian 12 one), so that both the
# toolchains and both the Wines stay proven: a minimal root of that release, made once with
# debootstrap from the mirror this machine uses and kept between runs, entered with chroot.
# The tests install what they need in it, as on a fresh machine.
# Usage: other-release.sh SOURCE_DIR [CODENAME [COMMAND...]]
# CODENAME: a root of that release instead, the machine's own included (the README's commands
# tried as on a fresh machine); COMMAND: run in the tree there instead of the tests, and what it
# draws under docs/ comes back to SOURCE_DIR (scripts/pictures draws that release's pictures).
# CV_ROOTS names where the roots are kept (default /var/cache/corvane-roots). Exit code 77:
# no root can be made here (not root, or no debootstrap-able mirror).
set -euo pipefail
src=$(cd "$1" && pwd)
here=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
case $here in
    bookworm) other=trixie ;;
    trixie) other=bookworm ;;
    *) echo "SKIP: this machine is Debian \"$here\", neither 12 nor 13"; exit 77 ;;
esac
other=${2:-$other}
shift $(($# < 2 ? $# : 2))
command=("$@")
[ ${#command[@]} -gt 0 ] || command=(scripts/test -E '^other_release$')
[ "$(id -u)" = 0 ] || { echo "SKIP: only root can make and enter the Debian $other root"; exit 77; }
roots=${CV_ROOTS:-/var/cache/corvane-roots}
root=$roots/$other

# The mirrors this machine's own sources name: the archive, and the security archive if any.
mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null |
        grep -oE 'https?://[^ ]+' | grep -E "$1" | head -n 1 || true
}
archive=$(mirror '/debian/?$') security=$(mirror 'debian-security/?$')
[ -n "$archive" ] || { echo "SKIP: no Debian archive in this machine's apt sources"; exit 77; }

# Made once; runs side by side wait for the one making it.
mkdir -p "$roots"
exec 9>"$root.lock"
flock 9
if [ ! -e "$root/.made" ]; then
    "$src/scripts/ensure-packages" debootstrap
    echo "making a minimal Debian $other root in $root (once)"
    rm -rf "$root.new"
    debootstrap --variant=minbase "$other" "$root.new" "$archive" >"$roots/$other.log" 2>&1 ||
        { tail -n 5 "$roots/$other.log"; echo "FAIL: debootstrap of Debian $other failed"; exit 1; }
    { echo "deb $archive $other main"
      echo "deb $archive $other-updates main"
      [ -z "$security" ] || echo "deb $security $other-security main"; } >"$root.new/etc/apt/sources.list"
    touch "$root.new/.made"
    rm -rf "$root" && mv "$root.new" "$root"
fi

# The tree as it stands (tracked files and new ones git does not ignore; without git, every
# file), not its builds; the root's own builds of it are kept, so that the next run builds only
# what changed.
mkdir -p "$root/src"
find "$root/src" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
if command -v git >/dev/null && git -C "$src" rev-parse >/dev/null 2>&1; then
    (cd "$src" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -c --ignore-failed-read 2>/dev/null)
else
    tar -c -C "$src" --exclude=./build --exclude=./dist --exclude=./.git .
fi | tar -x -C "$root/src"
cp /etc/resolv.conf "$root/etc/resolv.conf"

mounts=()
log=$(mktemp /tmp/cv-other-release.XXXXXX)
cleanup() {
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
    rm -f "$log"
}
trap cleanup EXIT
bind() {
    mkdir -p "$root$2"
    mount "${@:3}" "$1" "$root$2" || { echo "SKIP: $2 cannot be mounted in the root here"; exit 77; }
    mounts+=("$root$2")
}
bind proc /proc -t proc
bind sysfs /sys -t sysfs
bind /dev /dev --rbind
bind tmpfs /tmp -t tmpfs
chmod 1777 "$root/tmp"

echo "== ${command[*]} under Debian $other ($(cat "$root/etc/debian_version")), in $root =="
# By default the same tests, but this one, which would only enter the root again. A test
# skipped there makes this one skipped: its reason is in the output above.
set +e
# The sweep's answers are all played, the same under either release: it runs under this one only.
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM=dumb CV_SWEEP=0 \
    ${CV_GUEST:+CV_GUEST=$CV_GUEST} /bin/bash -c 'cd /src && "$@"' bash "${command[@]}" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
[ "$status" != 0 ] || [ $# = 0 ] || cp -r "$root/src/docs/." "$src/docs/"
skipped=$(grep -c '\*\*\*Skipped' "$log" || true)
if [ "$status" = 0 ] && [ "$skipped" != 0 ]; then echo "SKIP: $skipped tests skipped under Debian $other"; exit 77; fi
exit "$status"
