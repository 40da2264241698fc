# Cross-compiling for 64-bit Windows on Debian with mingw-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix-thread compilers: the win32-thread ones have no std::mutex or
# std::thread, and GoogleTest does not build with them. Everything is linked
# statically (the C++ runtime, libgcc, winpthread), so kelvrin.exe needs no
# DLL beside it, only what every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVRIN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVRIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVRIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVRIN_MINGW_PREFIX}-windres)

# Libraries and headers come from the Windows side only; programs (cmake's
# own helpers, wine) from the machine that builds.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVRIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
