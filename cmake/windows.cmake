# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler (the posix
# threads flavour, for std::thread). The engine is linked statically, so that
# marrowby.exe runs on a bare Windows without any DLL beside it. Programs run
# under wine64, which the tests use as their emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MARROWBY_CROSS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MARROWBY_CROSS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MARROWBY_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MARROWBY_CROSS_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MARROWBY_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
