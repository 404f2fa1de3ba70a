# The Wine harness: a Wine prefix of the project's own, a virtual display when
# none is set, and one persistent wineserver for the whole run, so that each test
# process starts in a fraction of a second. Source it after common.sh; call
# harness_start, and harness_stop (it is also run on exit).
# shellcheck shell=bash

# FACET_WINEPREFIX may name another prefix, so that two runs on one machine do not share a wineserver.
FACET_WINEPREFIX="${FACET_WINEPREFIX:-$FACET_CACHE/wineprefix}"
# Bump when the prefix set-up below changes, so that old prefixes are rebuilt.
FACET_PREFIX_VERSION=4

_harness_xvfb_pid=""
_harness_server_started=""

_harness_start_display() {
    if [[ -n "${DISPLAY:-}" ]]; then
        return 0
    fi
    # Xvfb picks a free display number itself and writes it to descriptor 3, so
    # two runs on one machine never share (and then kill) one display.
    local numberFile i
    numberFile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$numberFile" >/dev/null 2>&1 &
    _harness_xvfb_pid=$!
    for i in $(seq 1 200); do
        [[ -s "$numberFile" ]] && break
        kill -0 "$_harness_xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    local number
    number="$(tr -dc '0-9' < "$numberFile")"
    rm -f "$numberFile"
    if [[ -z "$number" ]] || ! kill -0 "$_harness_xvfb_pid" 2>/dev/null; then
        _harness_xvfb_pid=""
        die "could not start Xvfb"
    fi
    export DISPLAY=":$number"
    log "started Xvfb on $DISPLAY"
}

_harness_reg_import() { # UTF-8 .reg text on stdin -> imported into the prefix
    local tmp
    tmp="$(mktemp --suffix=.reg)"
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } > "$tmp"
    wine regedit /S "$(winepath -w "$tmp" 2>/dev/null)" >/dev/null 2>&1
    local rc=$?
    rm -f "$tmp"
    return $rc
}

_harness_prepare_prefix() {
    if [[ "$(cat "$FACET_WINEPREFIX/.facet-version" 2>/dev/null)" == "$FACET_PREFIX_VERSION" ]]; then
        return 0
    fi
    log "creating the Wine prefix $FACET_WINEPREFIX"
    rm -rf "$FACET_WINEPREFIX"
    # Wine makes the prefix's folder, not the folders above it (.cache is not
    # there yet when the dependencies are cached elsewhere).
    mkdir -p "$(dirname "$FACET_WINEPREFIX")"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || die "wineboot failed"
    wineserver -w
    # No crash dialog: a crashing test process ends with a backtrace and a failure.
    # The skin's Chinese font faces map to the CJK font installed from Debian.
    # Windows are not left to a window manager: the virtual display has none, and
    # Wine waits up to two seconds for one whenever a managed window is hidden
    # or destroyed (it was most of the suite's time).
    _harness_reg_import < "$FACET_ROOT/tools/wine/prefix.reg" || die "cannot import tools/wine/prefix.reg"
    wineserver -w
    echo "$FACET_PREFIX_VERSION" > "$FACET_WINEPREFIX/.facet-version"
}

# Wine takes the UI language from the locale of each process: the locales that
# the language tests run under must exist on the host.
FACET_LOCALES=(zh_CN zh_TW zh_HK de_DE en_US)

_harness_ensure_locales() {
    local have name missing=()
    have="$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')"
    for name in "${FACET_LOCALES[@]}"; do
        grep -qx "$(echo "$name.utf8" | tr 'A-Z' 'a-z')" <<<"$have" || missing+=("$name")
    done
    ((${#missing[@]} == 0)) && return 0
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    for name in "${missing[@]}"; do
        log "generating the locale $name.UTF-8"
        "${sudo[@]}" localedef -i "$name" -f UTF-8 "$name.UTF-8" || die "localedef failed for $name"
    done
}

harness_start() {
    command -v wine >/dev/null || die "wine is not installed"
    export WINEPREFIX="$FACET_WINEPREFIX"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset WINEARCH
    trap harness_stop EXIT
    _harness_ensure_locales
    _harness_start_display
    _harness_prepare_prefix
    wineserver -p
    _harness_server_started=1
    # Wait until the server answers, so the first test does not pay for its start.
    wine cmd /c exit 0 >/dev/null 2>&1 || true
}

harness_stop() {
    if [[ -n "$_harness_server_started" ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        _harness_server_started=""
    fi
    if [[ -n "$_harness_xvfb_pid" ]]; then
        kill "$_harness_xvfb_pid" 2>/dev/null || true
        wait "$_harness_xvfb_pid" 2>/dev/null || true
        _harness_xvfb_pid=""
    fi
}
