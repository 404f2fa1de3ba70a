# Imported targets for the libraries that tools/test builds into the cache folder
# (FACET_DEPS_PREFIX) or that Debian's MinGW packages install.
set(FACET_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/.cache/deps/prefix" CACHE PATH
    "Folder into which tools/lib/deps.sh installs the MinGW builds of the dependencies")

function(facet_require_file path what)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "${what} is missing (${path}); run tools/test, which builds the dependencies.")
    endif()
endfunction()

find_library(FACET_ZLIB_LIBRARY NAMES libz.a z REQUIRED)
find_path(FACET_ZLIB_INCLUDE zlib.h REQUIRED)
add_library(Facet::zlib STATIC IMPORTED)
set_target_properties(Facet::zlib PROPERTIES
    IMPORTED_LOCATION "${FACET_ZLIB_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_ZLIB_INCLUDE}")

facet_require_file("${FACET_DEPS_PREFIX}/lib/libminizip.a" "minizip")
add_library(Facet::minizip STATIC IMPORTED)
set_target_properties(Facet::minizip PROPERTIES
    IMPORTED_LOCATION "${FACET_DEPS_PREFIX}/lib/libminizip.a"
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_DEPS_PREFIX}/include/minizip"
    INTERFACE_LINK_LIBRARIES Facet::zlib)

facet_require_file("${FACET_DEPS_PREFIX}/lib/libconfig++.a" "libconfig")
add_library(Facet::libconfig STATIC IMPORTED)
set_target_properties(Facet::libconfig PROPERTIES
    IMPORTED_LOCATION "${FACET_DEPS_PREFIX}/lib/libconfig.a"
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_DEPS_PREFIX}/include"
    INTERFACE_COMPILE_DEFINITIONS "LIBCONFIG_STATIC")
add_library(Facet::libconfigxx STATIC IMPORTED)
set_target_properties(Facet::libconfigxx PROPERTIES
    IMPORTED_LOCATION "${FACET_DEPS_PREFIX}/lib/libconfig++.a"
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_DEPS_PREFIX}/include"
    INTERFACE_COMPILE_DEFINITIONS "LIBCONFIGXX_STATIC"
    INTERFACE_LINK_LIBRARIES Facet::libconfig)

facet_require_file("${FACET_DEPS_PREFIX}/include/stb/stb_image.h" "stb_image")
add_library(Facet::stb INTERFACE IMPORTED)
set_target_properties(Facet::stb PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_DEPS_PREFIX}/include/stb")

facet_require_file("${FACET_DEPS_PREFIX}/include/nanosvg/nanosvg.h" "nanosvg")
add_library(Facet::nanosvg INTERFACE IMPORTED)
set_target_properties(Facet::nanosvg PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${FACET_DEPS_PREFIX}/include/nanosvg")

if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
    set(GTest_DIR "${FACET_DEPS_PREFIX}/lib/cmake/GTest")
    find_package(GTest CONFIG REQUIRED)
endif()
