# 64-bit Windows (x86-64), for testing the Windows behaviour on machines that
# cannot run 32-bit programs. /usr/bin/wine would pick wine32 wherever it is
# installed, so the 64-bit loader is named.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_prefix x86_64-w64-mingw32)
set(wine_loader /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
