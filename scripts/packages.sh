# The Debian packages the build and the tests need.
# The virtual machine in which the Wine runs take place where the kernel runs no 32-bit code.
GUEST_PACKAGES=(qemu-system-x86 busybox-static e2fsprogs)
BUILD_PACKAGES=("${GUEST_PACKAGES[@]}" cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb util-linux passwd
                fonts-wine imagemagick)
RELEASE_PACKAGES=(zip mtools)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" g++ libgtest-dev clang libclang-rt-14-dev binutils)
