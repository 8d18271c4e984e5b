# Cross-compiles for 32-bit Windows (i686) with Debian's mingw-w64, and runs
# the resulting programs under wine, so that CTest can test them from Linux.
#
# The -posix compilers are used because their libstdc++ has std::mutex and
# std::thread, which GoogleTest needs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(mingw_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libstdc++, libgcc or winpthread DLLs to ship
# beside it or to find under wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# A prefix of its own in the build tree keeps test runs away from the user's
# ~/.wine; silenced debug channels and the C locale keep the output exact.
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix LC_ALL=C ${WINE_PROGRAM})
endif()
