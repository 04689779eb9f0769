# What the toolchain files of the cross builds for Linux share: Debian's cross
# compiler of MARROWBY_CROSS_TRIPLE, the target's libraries and headers under
# /usr/<triple>, and programs run under MARROWBY_QEMU with those libraries,
# which the tests use as their emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${MARROWBY_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MARROWBY_CROSS_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${MARROWBY_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${MARROWBY_QEMU} -L /usr/${MARROWBY_CROSS_TRIPLE})
