# 32-bit ARM (Debian armhf), run under qemu-arm. See cross-debian.cmake.
set(UMBRA_CROSS_TRIPLE arm-linux-gnueabihf)
set(UMBRA_CROSS_PROCESSOR arm)
set(UMBRA_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/cross-debian.cmake)
