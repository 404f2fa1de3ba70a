# Shared settings of the project's scripts. Source it; do not run it.
# shellcheck shell=bash

FACET_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
FACET_CACHE="$FACET_ROOT/.cache"
# FACET_DEPS_CACHE may point at the dependency cache of another checkout of the project.
FACET_DEPS_CACHE="${FACET_DEPS_CACHE:-$FACET_CACHE/deps}"
FACET_DEPS_PREFIX="$FACET_DEPS_CACHE/prefix"
FACET_TRIPLE=x86_64-w64-mingw32

# The Debian packages the build, the harness and the end-to-end runs need.
FACET_APT_PACKAGES=(
    cmake make bzip2 xz-utils ca-certificates
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    libz-mingw-w64-dev libstb-dev googletest
    wine wine64 xvfb xauth x11-apps imagemagick
    fonts-wqy-microhei locales
    python3 openssl tinyproxy-bin curl osslsigncode
    clang-format
)

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
die() { log "error: $*"; exit 1; }

# Installs whatever of FACET_APT_PACKAGES (and any extra names given) is missing.
# Nothing is asked of the network when all are present.
ensure_apt_packages() {
    local wanted=("${FACET_APT_PACKAGES[@]}" "$@") missing=() p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    log "installing Debian packages: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}" >/dev/null \
        || die "apt-get install failed for: ${missing[*]}"
}

jobs_count() { nproc 2>/dev/null || echo 2; }
