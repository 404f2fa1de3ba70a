# Configures and builds the project for Windows. Source it after common.sh.
# shellcheck shell=bash

build_project() { # build folder
    local dir="$1"
    cmake -S "$FACET_ROOT" -B "$dir" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$FACET_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE="${FACET_BUILD_TYPE:-Release}" \
        -DFACET_DEPS_PREFIX="$FACET_DEPS_PREFIX" \
        -DMEVRA_DOWNLOAD_HOST=localhost \
        -DMEVRA_INSTALLER_PUBLISHER="Mevra Test Publisher" \
        -DMEVRA_INSTALLER_PUBLISHER_ORGANIZATION= >/dev/null \
        || die "cmake configuration failed"
    cmake --build "$dir" -j"$(jobs_count)" || die "build failed"
}
