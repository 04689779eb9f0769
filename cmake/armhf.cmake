# Cross build for 32-bit ARM Linux (ARMv7 with hardware floating point, as
# Raspberry Pi OS 32-bit and older phones run) with Debian's armhf compiler.
# Programs run under qemu-arm with the target's C and C++ libraries from
# /usr/arm-linux-gnueabihf, which the tests use as their emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(MARROWBY_CROSS_TRIPLE arm-linux-gnueabihf)
# The architecture of its Debian package.
set(MARROWBY_DEBIAN_ARCHITECTURE armhf)
set(CMAKE_C_COMPILER ${MARROWBY_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MARROWBY_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${MARROWBY_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-arm -L /usr/${MARROWBY_CROSS_TRIPLE})
# GCC notes, for code passing vectors of doubles by value, that their passing
# changed in GCC 7.1: a fact of the ABI, not of this code.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
