# The handheld port for 64-bit ARM: Debian's cross compiler against a Debian bullseye sysroot
# (scripts/port-build.sh makes it), so that the binaries need nothing newer than the oldest
# firmware's C library. Everything of cmake/cross-debian.cmake, plus C++ compiled against the
# sysroot's own libstdc++ 10 (headers and static archive) instead of the compiler's libstdc++ 12,
# which was built against glibc 2.36 and would ask the firmware for newer symbols
# (__libc_single_threaded of 2.32, arc4random of 2.36).
set(UMBRA_CROSS_TRIPLE aarch64-linux-gnu)
set(UMBRA_CROSS_PROCESSOR aarch64)
set(UMBRA_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/cross-debian.cmake)

# The runtime archives (libstdc++.a, libgcc.a, libgcc_eh.a) are gcc 10's as well: gcc 12's
# unwinder in libgcc_eh.a calls _dl_find_object, which glibc has only since 2.35.
set(port_cxx_version 10)
set(port_cxx_include ${UMBRA_SYSROOT}/usr/include/c++/${port_cxx_version})
set(port_runtime_dir ${UMBRA_SYSROOT}/usr/lib/gcc/${UMBRA_CROSS_TRIPLE}/${port_cxx_version})
if(NOT EXISTS ${port_cxx_include} OR NOT EXISTS ${port_runtime_dir}/libstdc++.a
   OR NOT EXISTS ${port_runtime_dir}/libgcc_eh.a)
  message(FATAL_ERROR "${UMBRA_SYSROOT} holds no gcc ${port_cxx_version} runtime (libstdc++-${port_cxx_version}-dev)")
endif()

string(APPEND CMAKE_CXX_FLAGS_INIT
  " -nostdinc++ -isystem ${port_cxx_include}"
  " -isystem ${UMBRA_SYSROOT}/usr/include/${UMBRA_CROSS_TRIPLE}/c++/${port_cxx_version}"
  " -isystem ${port_cxx_include}/backward")
# A -L folder comes before the compiler's own, so -lstdc++, -lgcc and -lgcc_eh are found there.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc -L${port_runtime_dir}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc -L${port_runtime_dir}")
