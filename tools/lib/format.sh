# The C++ sources' formatting, held by clang-format and the root .clang-format.
# Source it after common.sh.
# shellcheck shell=bash

# The project's own C++ sources (dependencies never live in the repository).
format_sources() {
    (cd "$FACET_ROOT" && find ui installer tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
}

# Rewrites every source as .clang-format says.
format_apply() {
    command -v clang-format >/dev/null || die "clang-format is missing (Debian package clang-format)"
    (cd "$FACET_ROOT" && format_sources | xargs clang-format -i --style=file)
}

# Lists the sources clang-format would change and answers false when there is one.
format_check() {
    command -v clang-format >/dev/null || die "clang-format is missing (Debian package clang-format)"
    local unformatted
    unformatted="$(cd "$FACET_ROOT" && format_sources | xargs clang-format --dry-run --style=file 2>&1 \
        | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: \(warning\|error\): code should be clang-formatted.*/\1/p' | sort -u)"
    [[ -z "$unformatted" ]] && return 0
    log "these sources do not follow .clang-format (run tools/format to format them):"
    sed 's/^/    /' <<<"$unformatted" >&2
    return 1
}
