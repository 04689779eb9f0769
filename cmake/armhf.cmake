# Cross build for 32-bit ARM Linux (ARMv7 with hardware floating point, as
# Raspberry Pi OS 32-bit and older phones run) with Debian's armhf compiler,
# run under qemu-arm.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(MARROWBY_CROSS_TRIPLE arm-linux-gnueabihf)
set(MARROWBY_QEMU qemu-arm)
# The architecture of its Debian package.
set(MARROWBY_DEBIAN_ARCHITECTURE armhf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
# GCC notes, for code passing vectors of doubles by value, that their passing
# changed in GCC 7.1: a fact of the ABI, not of this code.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
