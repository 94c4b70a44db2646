# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (GCC 12, posix threads, so
# std::thread and std::mutex work). Used for the libraries in scripts/release/windows-deps.sh
# and for the show itself in scripts/release/windows-build.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the MinGW sysroot and from the prefixes given in
# CMAKE_PREFIX_PATH, never from the build machine; programs (the generators) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
