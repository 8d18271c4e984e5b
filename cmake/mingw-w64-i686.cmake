# 32-bit Windows (i686), the program's own platform. /usr/bin/wine runs
# 32-bit programs with wine32.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_prefix i686-w64-mingw32)
set(wine_loader /usr/bin/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
