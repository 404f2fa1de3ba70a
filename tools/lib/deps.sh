# Builds the project's libraries for MinGW-w64 into the ignored cache folder.
# Source it after common.sh, then call ensure_deps.
#
# zlib itself and stb_image come from Debian's binary packages. minizip, libconfig
# and nanosvg come from Debian source packages: the upstream tarball whose address
# and SHA-256 apt gives is fetched and verified, then built with the MinGW
# toolchain. GoogleTest is built from the sources Debian installs under /usr/src.
# Every piece leaves a stamp naming its version; a later run with all stamps in
# place asks nothing of the network.
# shellcheck shell=bash

DEPS_DIR="$FACET_DEPS_CACHE"
DEPS_SRC="$DEPS_DIR/src"
DEPS_STAMPS="$DEPS_DIR/stamps"
DEPS_APT="$DEPS_DIR/apt"

# A private apt state that knows the machine's own Debian archive as a source
# index, for this suite and the next one. The machine's apt configuration is
# left as it is.
_deps_apt_opts() {
    printf '%s\n' \
        -o "Dir::Etc::SourceList=/dev/null" \
        -o "Dir::Etc::SourceParts=$DEPS_APT/sources.list.d" \
        -o "Dir::State::Lists=$DEPS_APT/lists" \
        -o "Dir::Cache=$DEPS_APT/cache"
}

_deps_prepare_source_index() {
    [[ -f "$DEPS_APT/updated" ]] && return 0
    local codename next uri keyring
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [[ -n "$codename" ]] || die "cannot tell the Debian release from /etc/os-release"
    case "$codename" in
        bookworm) next=trixie ;;
        trixie) next=forky ;;
        *) next="" ;;
    esac
    # The archive that serves this release's own suite (not -security, not -updates).
    uri="$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 2>/dev/null \
        | awk -v s="$codename" '$1 == s { print $2; exit }')"
    [[ -n "$uri" ]] || die "no apt source of suite $codename is configured on this machine"
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    mkdir -p "$DEPS_APT/sources.list.d" "$DEPS_APT/lists/partial" "$DEPS_APT/cache/archives/partial"
    {
        echo "Types: deb-src"
        echo "URIs: $uri"
        echo "Suites: $codename $next"
        echo "Components: main"
        [[ -f "$keyring" ]] && echo "Signed-By: $keyring"
    } > "$DEPS_APT/sources.list.d/debian-src.sources"
    log "reading Debian's source indexes"
    # shellcheck disable=SC2046
    apt-get $(_deps_apt_opts) update -q >/dev/null || die "apt-get update of the source indexes failed"
    touch "$DEPS_APT/updated"
}

# _deps_fetch_orig PACKAGE[=VERSION|/SUITE]  ->  prints "<version> <tarball path>"
# Downloads the upstream tarball of a Debian source package and checks its SHA-256.
_deps_fetch_orig() {
    local spec="$1" line uri name hash version
    _deps_prepare_source_index
    # shellcheck disable=SC2046
    line="$(cd "$DEPS_SRC" && apt-get $(_deps_apt_opts) source --print-uris -q "$spec" 2>/dev/null \
        | grep -E "\.orig\.tar\.[a-z0-9]+' " | head -n1)"
    [[ -n "$line" ]] || die "apt knows no upstream tarball for source package $spec"
    uri="$(echo "$line" | awk '{print $1}' | tr -d "'")"
    name="$(echo "$line" | awk '{print $2}')"
    hash="$(echo "$line" | awk '{print $4}')"
    [[ "$hash" == SHA256:* ]] || die "apt gave no SHA-256 for $name"
    if [[ ! -f "$DEPS_SRC/$name" ]] || ! echo "${hash#SHA256:}  $DEPS_SRC/$name" | sha256sum -c --quiet - 2>/dev/null; then
        rm -f "$DEPS_SRC/$name"
        log "fetching $name"
        /usr/lib/apt/apt-helper download-file "$uri" "$DEPS_SRC/$name.part" "$hash" >/dev/null 2>&1 \
            || die "download of $name failed"
        mv "$DEPS_SRC/$name.part" "$DEPS_SRC/$name"
    fi
    echo "${hash#SHA256:}  $DEPS_SRC/$name" | sha256sum -c --quiet - || die "SHA-256 of $name does not match"
    version="${name#*_}"
    version="${version%.orig.tar.*}"
    echo "$version $DEPS_SRC/$name"
}

_deps_unpack() { # tarball -> prints the one top folder it unpacked into a fresh place
    local tarball="$1" dest
    dest="$DEPS_SRC/$(basename "$tarball").d"
    rm -rf "$dest" && mkdir -p "$dest"
    tar -xf "$tarball" -C "$dest"
    find "$dest" -mindepth 1 -maxdepth 1 -type d | head -n1
}

_deps_stamped() { [[ -f "$DEPS_STAMPS/$1" ]]; }
_deps_stamp() { mkdir -p "$DEPS_STAMPS" && echo "$2" > "$DEPS_STAMPS/$1"; }

_deps_minizip() {
    _deps_stamped minizip && return 0
    local codename fetched version tarball top out
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    # The same zlib release as the MinGW zlib package of this Debian release.
    fetched="$(_deps_fetch_orig "zlib/$codename")"
    version="${fetched%% *}"; tarball="${fetched#* }"
    top="$(_deps_unpack "$tarball")"
    out="$DEPS_DIR/build/minizip"
    rm -rf "$out" && mkdir -p "$out" "$FACET_DEPS_PREFIX/lib" "$FACET_DEPS_PREFIX/include/minizip"
    log "building minizip $version"
    local f
    for f in ioapi unzip iowin32; do
        "$FACET_TRIPLE-gcc-posix" -O2 -c "$top/contrib/minizip/$f.c" -o "$out/$f.o" \
            -I"$top/contrib/minizip" -DNOCRYPT -DNOUNCRYPT || die "minizip: $f.c does not build"
    done
    rm -f "$FACET_DEPS_PREFIX/lib/libminizip.a"
    "$FACET_TRIPLE-ar" rcs "$FACET_DEPS_PREFIX/lib/libminizip.a" "$out"/*.o
    cp "$top/contrib/minizip/"{ioapi.h,unzip.h,iowin32.h} "$FACET_DEPS_PREFIX/include/minizip/"
    _deps_stamp minizip "$version"
}

_deps_libconfig() {
    _deps_stamped libconfig && return 0
    local fetched version tarball top
    # The newest libconfig that the source indexes hold; the settings store needs 1.7 or later.
    fetched="$(_deps_fetch_orig libconfig)"
    version="${fetched%% *}"; tarball="${fetched#* }"
    [[ "$version" == 1.7* || "$version" == 1.8* || "$version" == 2.* ]] \
        || die "libconfig $version is too old; 1.7 or later is needed"
    top="$(_deps_unpack "$tarball")"
    log "building libconfig $version"
    (
        cd "$top" \
        && ./configure -q --host="$FACET_TRIPLE" --prefix="$FACET_DEPS_PREFIX" \
            --disable-shared --enable-static --disable-examples --disable-tests --disable-doc \
            CC="$FACET_TRIPLE-gcc-posix" CXX="$FACET_TRIPLE-g++-posix" \
        && make -j"$(jobs_count)" \
        && make install
    ) > "$DEPS_DIR/libconfig-build.log" 2>&1 || die "libconfig does not build; see $DEPS_DIR/libconfig-build.log"
    _deps_stamp libconfig "$version"
}

_deps_nanosvg() {
    _deps_stamped nanosvg && return 0
    local fetched version tarball top
    fetched="$(_deps_fetch_orig nanosvg)"
    version="${fetched%% *}"; tarball="${fetched#* }"
    top="$(_deps_unpack "$tarball")"
    mkdir -p "$FACET_DEPS_PREFIX/include/nanosvg"
    cp "$top/src/nanosvg.h" "$top/src/nanosvgrast.h" "$FACET_DEPS_PREFIX/include/nanosvg/" \
        || die "nanosvg $version has no src/nanosvg.h"
    _deps_stamp nanosvg "$version"
}

_deps_stb() {
    # stb_image decodes the skin's images; stb_image_write lets the tests make images.
    local name header
    mkdir -p "$FACET_DEPS_PREFIX/include/stb"
    for name in stb_image.h stb_image_write.h; do
        header="/usr/include/stb/$name"
        [[ -f "$header" ]] || die "libstb-dev is not installed"
        cmp -s "$header" "$FACET_DEPS_PREFIX/include/stb/$name" || cp "$header" "$FACET_DEPS_PREFIX/include/stb/"
    done
}

_deps_googletest() {
    local version
    version="$(dpkg-query -W -f='${Version}' googletest)"
    [[ "$(cat "$DEPS_STAMPS/googletest" 2>/dev/null)" == "$version" ]] && return 0
    local out="$DEPS_DIR/build/googletest"
    rm -rf "$out"
    log "building GoogleTest $version"
    (
        cmake -S /usr/src/googletest -B "$out" -G "Unix Makefiles" \
            -DCMAKE_TOOLCHAIN_FILE="$FACET_ROOT/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_CROSSCOMPILING_EMULATOR= \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$FACET_DEPS_PREFIX" \
            -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
        && cmake --build "$out" -j"$(jobs_count)" \
        && cmake --install "$out"
    ) > "$DEPS_DIR/googletest-build.log" 2>&1 || die "GoogleTest does not build; see $DEPS_DIR/googletest-build.log"
    _deps_stamp googletest "$version"
}

ensure_deps() {
    mkdir -p "$DEPS_SRC" "$DEPS_STAMPS" "$FACET_DEPS_PREFIX"
    _deps_stb
    _deps_nanosvg
    _deps_minizip
    _deps_libconfig
    _deps_googletest
}
