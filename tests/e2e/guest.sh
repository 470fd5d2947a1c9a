#!/usr/bin/env bash
# Runs a command inside a small virtual machine over Debian's own kernel, for machines whose
# kernel cannot run 32-bit programs (Wine's loader among them). The guest sees this
# machine's / read-only, with a throwaway writable layer over it, and runs the command as
# root in the same directory with the same environment; its output and exit code come back.
# Usage: guest.sh WRITABLE_DIRS COMMAND [ARG...]
#        guest.sh --needed: exit code 0 when Wine runs need the guest here (Wine's 32-bit
#        loader cannot start, or CV_GUEST=1 asks for the guest), 1 when they run natively.
# WRITABLE_DIRS (absolute paths separated by ":", empty ones left out) are shared with the
# guest at the same paths, so that what the command writes there stays on this machine;
# everything else it writes is thrown away.
# CV_GUEST_DISK names a disk image the guest reads as /dev/vdb (its writes are thrown away).
# Exit code 77: no virtual machine can run here.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
kit=$here/build/guest

# The kernel of Debian's linux-image-amd64 (built with 32-bit support) and an initramfs of
# busybox and the kernel's own modules for 9p, overlay and ext4 on virtio, made once.
make_kit() {
    source "$here/scripts/packages.sh"
    "$here/scripts/ensure-packages" "${GUEST_PACKAGES[@]}"
    local image version new=$kit.new
    image=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
    rm -rf "$new" && mkdir -p "$new/ramfs/bin" "$new/ramfs/dev" "$new/ramfs/proc" "$new/ramfs/sys"
    "$here/scripts/ensure-packages" --unpack "$new/unpacked" "$image"
    version=${image#linux-image-}
    # Debian 12 keeps the modules under lib/modules, Debian 13 under usr/lib/modules.
    local base=$new/unpacked
    [ -d "$base/lib/modules/$version" ] || base=$new/unpacked/usr
    busybox depmod -b "$base" "$version"
    local from=$base/lib/modules/$version to=$new/ramfs/lib/modules/$version module
    mkdir -p "$to"
    # modules.dep lists every module a module needs, directly or not; one built into the kernel
    # (Debian 13's virtio_pci) needs nothing. Debian 13 packs modules with xz: unpacked here,
    # so that the guest's modprobe need not know it.
    cp "$from/modules.builtin" "$to/"
    for module in virtio_pci virtio_blk 9pnet_virtio 9p overlay crc32c_generic ext4; do
        grep -q "/$module\.ko\$" "$to/modules.builtin" ||
            grep "/$module\.ko\(\.xz\)\?:" "$from/modules.dep" >>"$to/modules.dep"
    done
    for module in $(tr -d : <"$to/modules.dep" | tr ' ' '\n' | sort -u); do
        install -D -m 644 "$from/$module" "$to/$module"
        [[ $module != *.xz ]] || busybox unxz "$to/$module"
    done
    sed -i 's/\.ko\.xz/.ko/g' "$to/modules.dep"
    cp /bin/busybox "$new/ramfs/bin/busybox"
    cp "$here/tests/e2e/guest-init" "$new/ramfs/init"
    chmod 755 "$new/ramfs/init"
    (cd "$new/ramfs" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$new/initrd.gz"
    cp "$new/unpacked/boot/vmlinuz-$version" "$new/vmlinuz"
    rm -rf "$new/ramfs" "$new/unpacked"
    # KVM where it works (nested virtualisation may offer /dev/kvm and hang), else emulation;
    # -cpu max under emulation makes the kernel oops on Wine's 32-bit iret.
    echo "-accel tcg -cpu qemu64" >"$new/accel"
    if [ -w /dev/kvm ] && run_guest "-accel kvm -cpu host" "$new" 30 "" true >/dev/null 2>&1; then
        echo "-accel kvm -cpu host" >"$new/accel"
    fi
    echo "$stamp" >"$new/stamp"
    rm -rf "$kit" && mv "$new" "$kit"
}

# run_guest ACCEL KIT SECONDS WRITABLE COMMAND... : boots, runs, prints the output, returns
# the command's exit code (125 when the guest did not report one).
run_guest() {
    local accel=$1 dir=$2 seconds=$3 rw=$4 status
    shift 4
    run=$(mktemp -d /tmp/cv-guest.XXXXXX)
    { export -p | grep -v '^declare -x \(BASH_\|SHLVL\|OLDPWD\)'
      echo "export CV_IN_GUEST=1"
      printf 'cd %q\n' "$PWD"
      printf '%q ' "$@"
      echo; } >"$run/command"
    local share="security_model=none,multidevs=remap" shared=() paths path
    IFS=: read -ra paths <<<"$rw"
    : >"$run/writable"
    for path in "${paths[@]}"; do  # mounted as rw0, rw1... in the order guest-init reads them
        [ -n "$path" ] && mkdir -p "$path" || continue
        shared+=(-virtfs "local,path=$path,mount_tag=rw$(wc -l <"$run/writable"),$share")
        echo "$path" >>"$run/writable"
    done
    truncate -s 8G "$run/upper.img"
    mkfs.ext4 -q -F -E lazy_itable_init=1 "$run/upper.img"
    # shellcheck disable=SC2086
    timeout "$seconds" qemu-system-x86_64 $accel -m 2048 -smp 1 -display none -monitor none \
        -no-reboot -serial "file:$run/console" -kernel "$dir/vmlinuz" -initrd "$dir/initrd.gz" \
        -append "console=ttyS0 quiet loglevel=1 panic=-1" \
        -virtfs "local,path=/,mount_tag=host,readonly=on,$share" -virtfs "local,path=$run,mount_tag=out,$share" \
        "${shared[@]}" \
        -drive "file=$run/upper.img,format=raw,if=virtio" \
        ${CV_GUEST_DISK:+-drive "file=$CV_GUEST_DISK,format=raw,if=virtio,snapshot=on"} >/dev/null 2>&1 &
    guest=$!
    trap 'kill "$guest" 2>/dev/null; rm -rf "$run"; exit 143' TERM INT  # a test run stopped stops it
    wait "$guest" || true
    trap - TERM INT
    cat "$run/output" 2>/dev/null || true
    status=$(cat "$run/status" 2>/dev/null || echo 125)
    [ "$status" != 125 ] || { echo "the guest reported no exit code; its console:"; tail -n 20 "$run/console"; }
    rm -rf "$run"
    return "$status"
}

if [ "$1" = --needed ]; then
    [ "${CV_GUEST:-}" = 1 ] || ! timeout 60 wine --version >/dev/null 2>&1
    exit
fi
# Made by a shell of its own, so that any failing step stops it (a caller's `if` would not).
if [ "$1" = --make-kit ]; then
    set -E
    trap 'echo "failed: $BASH_COMMAND"' ERR
    make_kit
    exit
fi
writable=$1
shift

# Runs side by side wait for the one that makes the kit; a changed init makes it anew.
stamp=$(sha256sum "$here/tests/e2e/guest-init" | cut -c1-16)
mkdir -p "$(dirname "$kit")"
exec 9>"$kit.lock"
flock 9
if ! command -v qemu-system-x86_64 >/dev/null || [ "$(cat "$kit/stamp" 2>/dev/null)" != "$stamp" ]; then
    if ! made=$(stamp=$stamp "$0" --make-kit 2>&1); then
        echo "SKIP: Wine cannot run natively here (or CV_GUEST=1 asks for the guest)," \
            "and no virtual machine can be made:"
        tail -n 3 <<<"$made"
        exit 77
    fi
fi
exec 9>&-
accel=$(cat "$kit/accel")
echo "(in a virtual machine: QEMU $accel, Debian's kernel; see tests/e2e/guest.sh)"
run_guest "$accel" "$kit" 3000 "$writable" "$@"
