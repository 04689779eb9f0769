# Cross build for 64-bit ARM Linux with Debian's aarch64 compiler. Programs
# run under qemu-aarch64 with the target's C and C++ libraries from
# /usr/aarch64-linux-gnu, which the tests use as their emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(MARROWBY_CROSS_TRIPLE aarch64-linux-gnu)
# The architecture of its Debian package.
set(MARROWBY_DEBIAN_ARCHITECTURE arm64)
set(CMAKE_C_COMPILER ${MARROWBY_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MARROWBY_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${MARROWBY_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64 -L /usr/${MARROWBY_CROSS_TRIPLE})
