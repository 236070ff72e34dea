# Cross build for a Debian architecture against a sysroot unpacked from that architecture's
# packages (scripts/cross-test.sh makes it). Included by toolchain-<arch>.cmake, which sets
# UMBRA_CROSS_TRIPLE, UMBRA_CROSS_PROCESSOR and UMBRA_CROSS_QEMU first. The sysroot comes from
# -DUMBRA_SYSROOT=... or the environment variable of the same name.
if(NOT UMBRA_SYSROOT)
  set(UMBRA_SYSROOT "$ENV{UMBRA_SYSROOT}")
endif()
if(NOT UMBRA_SYSROOT OR NOT EXISTS "${UMBRA_SYSROOT}/usr/include")
  message(FATAL_ERROR "UMBRA_SYSROOT must name an unpacked ${UMBRA_CROSS_TRIPLE} sysroot")
endif()
# try_compile projects read this file again and see only what is listed here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UMBRA_SYSROOT)
set(ENV{UMBRA_SYSROOT} "${UMBRA_SYSROOT}")

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${UMBRA_CROSS_PROCESSOR})
set(CMAKE_LIBRARY_ARCHITECTURE ${UMBRA_CROSS_TRIPLE})
set(CMAKE_C_COMPILER ${UMBRA_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${UMBRA_CROSS_TRIPLE}-g++)
set(CMAKE_SYSROOT "${UMBRA_SYSROOT}")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's pkg-config reads the target's .pc files and prefixes their paths with the sysroot.
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${UMBRA_SYSROOT}")
set(ENV{PKG_CONFIG_LIBDIR}
  "${UMBRA_SYSROOT}/usr/lib/${UMBRA_CROSS_TRIPLE}/pkgconfig:${UMBRA_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Target programs (asset generators at build time, tests) run under qemu-user, with the
# sysroot's own loader and libc: a loader and libc from different packages crash threads.
find_program(UMBRA_QEMU ${UMBRA_CROSS_QEMU} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${UMBRA_QEMU} -L ${UMBRA_SYSROOT})

# GCC notes every ARM call whose argument passing changed in GCC 7.1; all code here comes from
# one compiler, so the change never meets code built the old way.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")
