#!/usr/bin/env bash
# Screenshots of the updater's three pages in its three language sets, taken from
# the real MevraUpdater.exe under Wine in the harness's display:
#   page_screenshots.sh <source root> <test programs folder> <rig folder> <output folder>
# Writes <output>/<locale>-<page>.png and fails when a page does not show, when a
# page looks the same in two language sets (the language was not applied), or
# when the still pages differ between locales of one set (zh_TW and zh_HK read
# Traditional Chinese, en_US and de_DE English).
# Needs the harness (DISPLAY, WINEPREFIX) and the network rig's port 443.
set -u
root="$1" bin="$2" rig="$3" out="$4"
mkdir -p "$out" "$rig/www"
rm -f "$out"/*.png

fail() { echo "page_screenshots: $*" >&2; exit 1; }

"$root/tools/netrig" start "$rig" >/dev/null 2>&1 || fail "the network rig did not start"
ca="$(winepath -w "$rig/pki/ca.der" 2>/dev/null)"
cleanup() {
    wine "$bin/trust_ca.exe" remove "$ca" >/dev/null 2>&1
    "$root/tools/netrig" stop "$rig" >/dev/null 2>&1
    rm -f "$rig/www/.slow" "$rig/www/mevra.exe"
}
trap cleanup EXIT
wine "$bin/trust_ca.exe" add "$ca" >/dev/null 2>&1 || fail "cannot trust the rig's CA"

page() { wine "$bin/ui_driver.exe" page 2>/dev/null | tr -d '\r'; }
wait_page() { # page
    local i
    for i in $(seq 1 150); do
        [[ "$(page)" == "$1" ]] && return 0
        sleep 0.2
    done
    return 1
}
# The host window is centred on the 1920 x 1080 screen of the harness.
shot() { # name
    sleep 1 # let the page paint
    import -display "$DISPLAY" -window root -crop 680x443+620+318 +repage "$out/$1.png" 2>/dev/null \
        || fail "screenshot $1 failed"
}
close_updater() { # pid
    wine "$bin/ui_driver.exe" close >/dev/null 2>&1
    wait "$1" || fail "the updater ended with $? after its close"
}

locales=(zh_CN zh_TW zh_HK en_US de_DE)
# One locale of each language set, and the others of the same set.
representatives=(zh_CN zh_TW en_US)
same_set=("zh_HK:zh_TW" "de_DE:en_US")
for locale in "${locales[@]}"; do
    # Download and proxy pages: a slow transfer keeps the download page up.
    cp "$bin/fake_installer.exe" "$rig/www/mevra.exe"
    truncate -s 8000000 "$rig/www/mevra.exe"
    touch "$rig/www/.slow"
    LC_ALL="$locale.UTF-8" LANG="$locale.UTF-8" wine "$bin/MevraUpdater.exe" >/dev/null 2>&1 &
    updater=$!
    wait_page 0 || fail "$locale: the download page did not show"
    sleep 1
    shot "$locale-0-download"
    wine "$bin/ui_driver.exe" click 567 37 >/dev/null 2>&1 # the settings button
    wait_page 2 || fail "$locale: the proxy settings page did not show"
    shot "$locale-2-proxy"
    close_updater "$updater"

    # Retry page: nothing to download.
    rm -f "$rig/www/mevra.exe" "$rig/www/.slow"
    LC_ALL="$locale.UTF-8" LANG="$locale.UTF-8" wine "$bin/MevraUpdater.exe" >/dev/null 2>&1 &
    updater=$!
    wait_page 1 || fail "$locale: the retry page did not show"
    shot "$locale-1-retry"
    close_updater "$updater"
done

sum() { identify -format '%#' "$out/$1.png"; }
# Each page must differ between the language sets.
for name in 0-download 1-retry 2-proxy; do
    sums="$(for locale in "${representatives[@]}"; do sum "$locale-$name"; echo; done | sort -u | wc -l)"
    [[ "$sums" == "${#representatives[@]}" ]] || fail "page $name looks the same in two language sets"
done
# The still pages of two locales of one set are the same picture (the download
# page is not still: its bar moves).
for pair in "${same_set[@]}"; do
    for name in 1-retry 2-proxy; do
        [[ "$(sum "${pair%%:*}-$name")" == "$(sum "${pair##*:}-$name")" ]] \
            || fail "page $name differs between ${pair%%:*} and ${pair##*:}, which share a language set"
    done
done
echo "page_screenshots: $(ls "$out"/*.png | wc -l) screenshots in $out"
