#!/usr/bin/env bash
# The real updater at 96, 120, 144 and 192 DPI, set in the registry of a Wine
# prefix as Wine takes the display scale ("LogPixels" of the user's desktop):
#   high_dpi_pages.sh <source root> <test programs folder> <prefix folder> <output folder>
# The prefix is a copy of the harness's ($WINEPREFIX) with a wineserver of its
# own, so the changed scale never reaches the tests running beside this one,
# and the pictures are taken on a virtual display of its own, so no window of
# those tests can cover them.
# Its system folder is shared with the harness's prefix by hard links (Wine
# only reads it); everything else is copied, and copied again when the
# harness's prefix is rebuilt. high_dpi_tests.exe runs once per scale, 96 DPI
# first, and writes <output>/<dpi>-<page>.png and the 96-DPI button layout.
set -u
root="$1" bin="$2" prefix="$3" out="$4"
base="${WINEPREFIX:?needs the Wine prefix of the harness}"
source "$root/tools/lib/common.sh"
source "$root/tools/lib/harness.sh"

fail() { echo "high_dpi_pages: $*" >&2; exit 1; }

copy_prefix() {
    rm -rf "$prefix"
    mkdir -p "$prefix/drive_c" || fail "cannot make $prefix"
    local item name
    for item in "$base"/* "$base"/.facet-version "$base"/.update-timestamp; do
        name="$(basename "$item")"
        [[ -e "$item" && "$name" != drive_c ]] && { cp -a "$item" "$prefix/" || fail "cannot copy $name"; }
    done
    for item in "$base"/drive_c/*; do
        name="$(basename "$item")"
        if [[ "$name" == windows ]]; then
            cp -al "$item" "$prefix/drive_c/" 2>/dev/null || cp -a "$item" "$prefix/drive_c/" \
                || fail "cannot copy the system folder"
        else
            cp -a "$item" "$prefix/drive_c/" || fail "cannot copy $name"
        fi
    done
}

if [[ "$(cat "$prefix/.facet-version" 2>/dev/null)" != "$(cat "$base/.facet-version" 2>/dev/null)" ]]; then
    copy_prefix
fi
export WINEPREFIX="$prefix"
unset DISPLAY
_harness_start_display
wineserver -p || fail "no wineserver for $prefix"
_harness_server_started=1
trap harness_stop EXIT

mkdir -p "$out"
rm -f "$out"/*.png "$out"/layout-96.txt
artifacts="$(winepath -w "$out" 2>/dev/null)"
for dpi in 96 120 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 \
        || fail "cannot set $dpi DPI"
    echo "high_dpi_pages: $dpi DPI"
    FACET_DPI_RUN="$dpi" FACET_DPI_ARTIFACTS="$artifacts" wine "$bin/high_dpi_tests.exe" \
        || fail "$dpi DPI: the checks failed"
done
echo "high_dpi_pages: $(ls "$out"/*.png | wc -l) screenshots in $out"
