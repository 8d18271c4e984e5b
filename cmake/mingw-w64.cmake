# What the Windows toolchain files share: cross-compiling with Debian's
# mingw-w64, and running the resulting programs under wine, so that CTest
# can test them from Linux. The file that includes this one sets
#
#   mingw_prefix   the compilers' target triplet
#   wine_loader    the wine that runs the target's programs
#
# The -posix compilers are used because their libstdc++ has std::mutex and
# std::thread, which GoogleTest needs.

set(CMAKE_SYSTEM_NAME Windows)

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
# ~/.wine; wine.sh boots it and keeps its server apart from CTest.
if(EXISTS ${wine_loader})
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${wine_loader} ${CMAKE_BINARY_DIR}/wineprefix)
endif()
