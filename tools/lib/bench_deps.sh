# The peers the benchmarks compare with, fetched into the ignored cache of the
# checkout (never into the shared dependency cache, never into the product).
# Source it after common.sh and deps.sh.
# shellcheck shell=bash

BENCH_DEPS_DIR="$FACET_CACHE/bench"

# Fetches pugixml's upstream tarball as Debian's source package names it,
# checks it against the SHA-256 apt gives, and unpacks it once. Exports
# FACET_BENCH_PUGIXML_DIR, the folder of pugixml.cpp, for the benchmark's
# CMake configuration.
ensure_bench_pugixml() {
    local stamp="$BENCH_DEPS_DIR/pugixml.dir"
    if [[ -f "$stamp" && -f "$(cat "$stamp")/pugixml.cpp" ]]; then
        export FACET_BENCH_PUGIXML_DIR="$(cat "$stamp")"
        return 0
    fi
    mkdir -p "$BENCH_DEPS_DIR/apt-cache/archives/partial"
    local line uri name hash tarball top
    _deps_prepare_source_index
    # The shared source index is only read; apt's own cache goes to ours.
    # shellcheck disable=SC2046
    line="$(apt-get $(_deps_apt_opts) -o "Dir::Cache=$BENCH_DEPS_DIR/apt-cache" source --print-uris -q pugixml \
        2>/dev/null | grep -E "\.orig\.tar\.[a-z0-9]+' " | head -n1)"
    [[ -n "$line" ]] || die "apt knows no upstream tarball for pugixml"
    uri="$(echo "$line" | awk '{print $1}' | tr -d "'")"
    name="$(echo "$line" | awk '{print $2}')"
    hash="$(echo "$line" | awk '{print $4}')"
    [[ "$hash" == SHA256:* ]] || die "apt gave no SHA-256 for $name"
    tarball="$BENCH_DEPS_DIR/$name"
    if ! echo "${hash#SHA256:}  $tarball" | sha256sum -c --quiet - >/dev/null 2>&1; then
        log "fetching $name"
        /usr/lib/apt/apt-helper download-file "$uri" "$tarball.part" "$hash" >/dev/null 2>&1 \
            || die "download of $name failed"
        mv "$tarball.part" "$tarball"
    fi
    echo "${hash#SHA256:}  $tarball" | sha256sum -c --quiet - || die "SHA-256 of $name does not match"
    rm -rf "$tarball.d" && mkdir -p "$tarball.d"
    tar -xf "$tarball" -C "$tarball.d"
    top="$(find "$tarball.d" -mindepth 1 -maxdepth 1 -type d | head -n1)"
    [[ -f "$top/src/pugixml.cpp" ]] || die "$name has no src/pugixml.cpp"
    echo "$top/src" > "$stamp"
    export FACET_BENCH_PUGIXML_DIR="$top/src"
}
