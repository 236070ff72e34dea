# 64-bit ARM (Debian arm64), run under qemu-aarch64. See cross-debian.cmake.
set(UMBRA_CROSS_TRIPLE aarch64-linux-gnu)
set(UMBRA_CROSS_PROCESSOR aarch64)
set(UMBRA_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/cross-debian.cmake)
