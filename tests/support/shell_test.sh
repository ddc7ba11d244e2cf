# Sourced first by the shell tests (bash): strict mode, `fail`, `needs_root`, and a scratch folder
# $work that is removed when the test ends, after the test's own `cleanup` if it defines one.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# needs_root WHAT: fails unless the test runs as root, which WHAT needs.
needs_root() {
    [ "$(id -u)" = 0 ] || fail "needs root ($1); CI runs as root"
}

work=$(mktemp -d)
end_test() {
    if declare -F cleanup >/dev/null; then
        cleanup || true
    fi
    rm -rf "$work"
}
trap end_test EXIT
