# The show's libraries for Windows x64, from the prefix scripts/release/windows-deps.sh builds
# (SHOW_WINDOWS_PREFIX), cross-compiled with cmake/mingw-w64-x86_64.cmake. Included by the top
# CMakeLists through -DSHOW_DEPS_FILE=.../deps_windows.cmake; fills the target `show_deps`.
#
# Everything is linked statically (the C++ and GCC runtimes and winpthread too) except mpg123,
# which is LGPL and goes beside the program as libmpg123-0.dll.
set(SHOW_WINDOWS_PREFIX "" CACHE PATH "Prefix of the Windows libraries (windows-deps.sh)")
if(NOT SHOW_WINDOWS_PREFIX OR NOT EXISTS "${SHOW_WINDOWS_PREFIX}/versions.txt")
    message(FATAL_ERROR "SHOW_WINDOWS_PREFIX must name a prefix built by "
                        "scripts/release/windows-deps.sh (got '${SHOW_WINDOWS_PREFIX}')")
endif()
if(NOT WIN32)
    message(FATAL_ERROR "deps_windows.cmake needs the cross toolchain: "
                        "-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake")
endif()
set(_p "${SHOW_WINDOWS_PREFIX}")

# The prefix is a root of its own for find_package (demo-capture's PNG), and its static zlib
# and libpng win over the sysroot's DLL import libraries.
list(APPEND CMAKE_FIND_ROOT_PATH "${_p}")
set(ZLIB_INCLUDE_DIR "${_p}/include" CACHE PATH "" FORCE)
set(ZLIB_LIBRARY "${_p}/lib/libz.a" CACHE FILEPATH "" FORCE)
set(PNG_PNG_INCLUDE_DIR "${_p}/include" CACHE PATH "" FORCE)
set(PNG_LIBRARY "${_p}/lib/libpng16.a" CACHE FILEPATH "" FORCE)

add_library(irrlicht INTERFACE)
target_include_directories(irrlicht SYSTEM INTERFACE "${_p}/include/irrlicht")
target_compile_definitions(irrlicht INTERFACE _IRR_STATIC_LIB_)
target_link_libraries(irrlicht INTERFACE "${_p}/lib/libIrrlicht.a" "${_p}/lib/libpng16.a"
                                         "${_p}/lib/libjpeg.a" "${_p}/lib/libz.a" opengl32 gdi32
                                         user32 winmm)

add_library(show_bullet INTERFACE)
target_include_directories(show_bullet SYSTEM INTERFACE "${_p}/include/bullet")
target_link_libraries(show_bullet INTERFACE
                      "${_p}/lib/libBulletSoftBody.a" "${_p}/lib/libBulletDynamics.a"
                      "${_p}/lib/libBulletCollision.a" "${_p}/lib/libLinearMath.a")

# SDL for sound only (WASAPI, with DirectSound and WinMM behind it); the show has its own main.
add_library(show_sdl2 INTERFACE)
target_include_directories(show_sdl2 SYSTEM INTERFACE "${_p}/include/SDL2")
target_compile_definitions(show_sdl2 INTERFACE SDL_MAIN_HANDLED)
target_link_libraries(show_sdl2 INTERFACE "${_p}/lib/libSDL2.a" setupapi winmm imm32 version
                                          ole32 oleaut32 uuid shell32 user32 gdi32 advapi32)

add_library(show_mpg123 INTERFACE)
target_include_directories(show_mpg123 SYSTEM INTERFACE "${_p}/include")
target_link_libraries(show_mpg123 INTERFACE "${_p}/lib/libmpg123.dll.a")

# kissfft compiled in, float, as Debian builds it (-O3).
add_library(show_kissfft STATIC "${_p}/src/kissfft/kiss_fft.c" "${_p}/src/kissfft/kiss_fftr.c")
target_include_directories(show_kissfft SYSTEM PUBLIC "${_p}/src/kissfft")
target_compile_definitions(show_kissfft PUBLIC kiss_fft_scalar=float)
target_compile_options(show_kissfft PRIVATE -O3)

target_link_libraries(show_deps INTERFACE irrlicht show_bullet show_sdl2 show_mpg123
                                          show_kissfft psapi)
# M_PI and friends: MinGW's <math.h> hides them in strict C++17 unless asked.
target_compile_definitions(show_deps INTERFACE _USE_MATH_DEFINES)
# No MinGW runtime DLLs beside the program: libstdc++, libgcc and winpthread go in whole.
# (-static still links the DLL import libraries named above, mpg123's among them.) The
# programs carry no link time, so two builds of one commit are the same bytes.
target_link_options(show_deps INTERFACE -static LINKER:--no-insert-timestamp)
# Nor where the tree and the build folder were.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build"
                    "-ffile-prefix-map=${_p}/=")

# The DLLs the programs need, for windows-build.sh to copy beside them.
set(SHOW_RUNTIME_DLLS "${_p}/bin/libmpg123-0.dll")
