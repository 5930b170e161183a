# Cross-builds flipdeck for Windows with Debian's mingw-w64 g++ (the posix
# thread model, which GoogleTest needs). FLIPDECK_WINDOWS_ARCH chooses
# i686 (32-bit) or x86_64 (64-bit, the default). Executables are linked
# statically so that they run without the compiler's DLLs.
if(NOT FLIPDECK_WINDOWS_ARCH)
  set(FLIPDECK_WINDOWS_ARCH x86_64)
endif()
# try_compile projects read this file again and need the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FLIPDECK_WINDOWS_ARCH)

set(triple ${FLIPDECK_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${FLIPDECK_WINDOWS_ARCH})
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under wine when it is installed. The 64-bit ones go to
# wine's 64-bit loader: the plain wine command starts the 32-bit loader first
# when that is installed, and so fails for every program on a host that cannot
# start 32-bit programs. Debian keeps the 64-bit loader out of PATH.
if(FLIPDECK_WINDOWS_ARCH STREQUAL "x86_64")
  find_program(FLIPDECK_WINE64 NAMES wine64 PATHS /usr/lib/wine)
  set(wine ${FLIPDECK_WINE64})
else()
  find_program(FLIPDECK_WINE NAMES wine)
  set(wine ${FLIPDECK_WINE})
endif()
if(wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${wine})
endif()
