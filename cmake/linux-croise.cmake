# What the Linux cross toolchain files share: Debian's cross compilers, and
# qemu's user-mode emulator to run the programs they make, so that CTest can
# test them on this machine. The file that includes this one sets
#
#   triplet   the compilers' target triplet (i686-linux-gnu, ...)
#   qemu      the emulator for that processor (qemu-i386-static, ...)
#
# The programs are linked statically, so that the emulator needs none of the
# target's shared libraries.

set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(FUSION_QEMU ${qemu})
if(FUSION_QEMU)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${FUSION_QEMU})
endif()
