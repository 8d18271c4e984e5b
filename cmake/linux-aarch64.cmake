# 64-bit Arm Linux: a processor without the x86 kernels, so that the portable
# path is built and tested on its own.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(triplet aarch64-linux-gnu)
set(qemu qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-croise.cmake)
