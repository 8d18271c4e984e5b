# 32-bit x86 Linux: the 32-bit code paths of the merge (the kernels' stack
# realignment, 32-bit pointers and sizes) on machines that cannot run the
# 32-bit Windows build. qemu-i386 runs it whatever the kernel allows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-linux-gnu)
set(qemu qemu-i386-static)
include(${CMAKE_CURRENT_LIST_DIR}/linux-croise.cmake)
