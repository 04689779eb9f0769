# Cross build for 64-bit ARM Linux with Debian's aarch64 compiler, run under
# qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(MARROWBY_CROSS_TRIPLE aarch64-linux-gnu)
set(MARROWBY_QEMU qemu-aarch64)
# The architecture of its Debian package.
set(MARROWBY_DEBIAN_ARCHITECTURE arm64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
