#!/usr/bin/env bash
# The set-clock service as the build configures it: systemd reads it without complaint about its
# sandbox and rates its exposure at 2.5 at most (--threshold counts tenths).
#
#   set_clock_unit_test.sh UNIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell_test.sh"
unit=$1
command -v systemd-analyze >/dev/null || fail "systemd-analyze is missing (scripts/setup-debian.sh)"
systemd-analyze security --offline=yes --threshold=25 "$unit" >"$work/security" 2>&1 ||
    fail "exposure above 2.5: $(tail -n 1 "$work/security")"
grep -v -e 'ulvren-set-clock@.*: Command .* is not executable' -e 'man ulvren(1)' "$work/security" |
    grep -i -e 'unknown' -e 'invalid' -e 'ignoring' && fail "systemd-analyze complains above"
tail -n 1 "$work/security"
