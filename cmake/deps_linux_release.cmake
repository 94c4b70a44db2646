# The libraries of the Linux release, from the prefix scripts/release/linux-deps.sh builds:
#   cmake -S . -B build-release-linux -DSHOW_PROGRAMS_ONLY=ON \
#         -DSHOW_DEPS_FILE=cmake/deps_linux_release.cmake -DSHOW_DEPS_PREFIX=<prefix>
# The programs then need from the system only glibc, libGL and libX11; libmpg123.so.0 (LGPL)
# is carried beside them and found through an $ORIGIN run path.
set(SHOW_DEPS_PREFIX "" CACHE PATH "Prefix made by scripts/release/linux-deps.sh")
if(NOT SHOW_DEPS_PREFIX OR NOT EXISTS "${SHOW_DEPS_PREFIX}/versions.txt")
    message(FATAL_ERROR "SHOW_DEPS_PREFIX must name a prefix made by scripts/release/linux-deps.sh")
endif()
set(_lib "${SHOW_DEPS_PREFIX}/lib")
set(_inc "${SHOW_DEPS_PREFIX}/include")

# find_package(PNG) (demo-capture) takes the prefix's static libpng and zlib; libGL is the
# system's libGL.so.1 itself, not GLVND's libOpenGL, which a stock desktop may lack.
set(ZLIB_INCLUDE_DIR "${_inc}" CACHE PATH "" FORCE)
set(ZLIB_LIBRARY "${_lib}/libz.a" CACHE FILEPATH "" FORCE)
set(PNG_PNG_INCLUDE_DIR "${_inc}" CACHE PATH "" FORCE)
set(PNG_LIBRARY "${_lib}/libpng16.a" CACHE FILEPATH "" FORCE)
set(OpenGL_GL_PREFERENCE LEGACY)
find_package(OpenGL REQUIRED)
find_package(X11 REQUIRED)
find_package(Threads REQUIRED)

function(_release_static name file)
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${_lib}/${file}")
endfunction()
_release_static(release_z libz.a)
_release_static(release_png libpng16.a)
_release_static(release_jpeg libjpeg.a)
_release_static(release_xext libXext.a)
_release_static(release_xxf86vm libXxf86vm.a)
set_target_properties(release_png PROPERTIES INTERFACE_LINK_LIBRARIES "release_z;m")
set_target_properties(release_xext PROPERTIES INTERFACE_LINK_LIBRARIES "X11::X11")
set_target_properties(release_xxf86vm PROPERTIES INTERFACE_LINK_LIBRARIES "release_xext;X11::X11")

# Tools may name the engine on its own.
add_library(irrlicht STATIC IMPORTED GLOBAL)
set_target_properties(irrlicht PROPERTIES
    IMPORTED_LOCATION "${_lib}/libIrrlicht.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}/irrlicht"
    INTERFACE_LINK_LIBRARIES "release_png;release_jpeg;release_z;release_xxf86vm;OpenGL::GL;X11::X11")

_release_static(release_linearmath libLinearMath.a)
_release_static(release_bullet_collision libBulletCollision.a)
_release_static(release_bullet_dynamics libBulletDynamics.a)
set_target_properties(release_bullet_collision PROPERTIES INTERFACE_LINK_LIBRARIES release_linearmath)
set_target_properties(release_bullet_dynamics PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}/bullet"
    INTERFACE_LINK_LIBRARIES release_bullet_collision)

# SDL opens its sound back ends itself (dlopen); it needs only the C library's parts.
_release_static(release_sdl2 libSDL2.a)
set_target_properties(release_sdl2 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}/SDL2"
    INTERFACE_COMPILE_DEFINITIONS _REENTRANT
    INTERFACE_LINK_LIBRARIES "${CMAKE_DL_LIBS};Threads::Threads;m;rt")

_release_static(release_kissfft libkissfft-float.a)
set_target_properties(release_kissfft PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}/kissfft"
    INTERFACE_COMPILE_DEFINITIONS kiss_fft_scalar=float)

add_library(release_mpg123 SHARED IMPORTED GLOBAL)
file(GLOB _mpg123 "${_lib}/libmpg123.so.0.*")
set_target_properties(release_mpg123 PROPERTIES
    IMPORTED_LOCATION "${_mpg123}"
    IMPORTED_SONAME libmpg123.so.0
    INTERFACE_INCLUDE_DIRECTORIES "${_inc}")

target_link_libraries(show_deps INTERFACE irrlicht release_bullet_dynamics release_sdl2
                                          release_mpg123 release_kissfft X11::X11 OpenGL::GL)
# libstdc++ and libgcc go inside the programs; a library nothing calls is not recorded.
target_link_options(show_deps INTERFACE -static-libstdc++ -static-libgcc LINKER:--as-needed)
# Where the tree and the build folder were stays out of the programs.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=." "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")

# The programs find the carried libmpg123.so.0 beside themselves, wherever the folder is.
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
set(CMAKE_INSTALL_RPATH "\$ORIGIN")
