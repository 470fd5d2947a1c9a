# The Debian packages the build and the tests need.
BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb util-linux passwd
                fonts-wine imagemagick)
RELEASE_PACKAGES=(zip mtools)
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" g++ libgtest-dev clang libclang-rt-14-dev binutils)
