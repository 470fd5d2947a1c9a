# The Debian packages the build and the tests need, by names that Debian 12 and 13 both know.
# Nothing is taken from what an image happens to hold: a minimal root (debootstrap
# --variant=minbase) has none of these.
# The virtual machine in which the Wine runs take place where the kernel runs no 32-bit code.
GUEST_PACKAGES=(qemu-system-x86 busybox-static e2fsprogs)
BUILD_PACKAGES=("${GUEST_PACKAGES[@]}" cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb util-linux passwd
                procps fonts-wine imagemagick locales-all)
RELEASE_PACKAGES=(zip unzip mtools)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" g++ libgtest-dev clang libclang-rt-dev
               python3-pefile)
