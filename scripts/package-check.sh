#!/usr/bin/env bash
# Builds the two Debian packages (ulvren and ulvren-demo), holds them to lintian and their
# AppStream metadata and desktop entry to their validators (any error or warning fails), installs
# them on this machine with their dependencies, runs the installed programs, the manual page and
# the bash completion from their installed places, checks the authorisation helper's place and
# polkit action, and purges them, which must leave no file
# behind. Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/ulvren*.deb
(cd build/package && cpack)
main_package=$(realpath build/package/ulvren_*.deb)
demo_package=$(realpath build/package/ulvren-demo_*.deb)
for package in "$main_package" "$demo_package"; do
    dpkg-deb --field "$package" Package Version Depends
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

echo "== lintian"
lintian --fail-on error,warning --display-level '>=info' "$main_package" "$demo_package"

echo "== AppStream metadata and desktop entry"
dpkg-deb -x "$main_package" "$scratch/unpacked"
for metainfo in "$scratch"/unpacked/usr/share/metainfo/*.metainfo.xml; do
    appstreamcli validate --no-net "$metainfo" | tee "$scratch/appstream.txt"
    if grep -qE '^[EW]:' "$scratch/appstream.txt"; then
        echo "FAIL: appstreamcli reports errors or warnings" >&2
        exit 1
    fi
done
desktop-file-validate "$scratch"/unpacked/usr/share/applications/*.desktop

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() {
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq --no-install-recommends "$@"
}
# Every file outside dpkg's and apt's own records.
installed_files() {
    find /usr /etc /opt /var/lib -xdev \( -path /var/lib/dpkg -o -path /var/lib/apt \) -prune \
        -o -print | LC_ALL=C sort
}

# A first install and purge brings in the dependencies and whatever their triggers make, so that
# the list before the real install differs from the one after its purge only by what we leave.
apt_get install "$main_package" "$demo_package" >/dev/null
apt_get purge ulvren ulvren-demo >/dev/null
installed_files >"$scratch/before.txt"
apt_get install "$main_package" "$demo_package"

echo "== the installed programs"
set -x
/usr/bin/ulvren --version
test -x /usr/bin/ulvren-tool
test -f /usr/share/applications/ulvren-tool.desktop
test -f /usr/share/icons/hicolor/48x48/apps/ulvren-tool.png
# The authorisation helper and its polkit action, naming it; no udev rule of the package's own.
test -x /usr/libexec/ulvren/ulvren-authorize
grep -q '>/usr/libexec/ulvren/ulvren-authorize<' /usr/share/polkit-1/actions/org.ulvren.tool.policy
! dpkg -L ulvren | grep -q 'udev/rules.d'
# Approval is kept only for the active local session's administrator.
grep -q '<allow_any>auth_admin</allow_any>' /usr/share/polkit-1/actions/org.ulvren.tool.policy
grep -q '<allow_inactive>auth_admin</allow_inactive>' /usr/share/polkit-1/actions/org.ulvren.tool.policy
XDG_DATA_HOME=$scratch XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen /usr/bin/ulvren-demo --check
# The manual pages render, and ulvren's lists its commands and exit statuses.
for page in ulvren ulvren-tool ulvren-demo; do
    MANWIDTH=80 man "$page" >"$scratch/$page.txt"
done
grep -q 'change-password' "$scratch/ulvren.txt"
grep -q 'EXIT STATUS' "$scratch/ulvren.txt"
# ulvren for<TAB>, as an interactive bash would complete it: bash-completion loads the installed
# completion on first use.
bash -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion ulvren || exit 1
    COMP_WORDS=(ulvren for) COMP_CWORD=1 COMP_LINE="ulvren for" COMP_POINT=10
    $(complete -p ulvren | sed -E "s/.*-F ([^ ]+) .*/\1/")
    [ "${COMPREPLY[*]}" = format ] || { echo "ulvren for<TAB>: ${COMPREPLY[*]}" >&2; exit 1; }'
set +x

echo "== the set-clock service"
# The template unit that "ulvren authorize --clock-on-plug" has the recorder's rule ask for: it
# loads, and its sandbox leaves an exposure of at most 2.5 (systemd-analyze counts tenths).
set_clock_unit=/usr/lib/systemd/system/ulvren-set-clock@.service
systemd-analyze verify "${set_clock_unit%@.service}@sg0.service"
# Root's device lock file, which the service's read-only /run cannot make, made at install.
test -f /run/ulvren-SCSI.lock
systemd-analyze security --offline=yes --threshold=25 "$set_clock_unit" | tail -n 1 ||
    { echo "FAIL: the set-clock service's exposure is above 2.5" >&2; exit 1; }

echo "== purge"
# A recorder that "ulvren authorize" approved (its rule, and a temporary file of a helper cut
# off): removing the package takes them away.
$sudo mkdir -p /etc/udev/rules.d
echo '# a recorder' | $sudo tee /etc/udev/rules.d/70-ulvren-1d6b-0104-PKG-0123456789abcdef.rules >/dev/null
echo '# cut off' | $sudo tee /etc/udev/rules.d/.70-ulvren-1d6b-0104-PKG.rules.99.tmp >/dev/null
apt_get purge ulvren ulvren-demo
if ls -A /etc/udev/rules.d | grep -q '70-ulvren-'; then
    echo "FAIL: the purge left the recorder rules: $(ls -A /etc/udev/rules.d)" >&2
    exit 1
fi
installed_files >"$scratch/after.txt"
if ! diff -u "$scratch/before.txt" "$scratch/after.txt"; then
    echo "FAIL: the purge left files behind (or removed others)" >&2
    exit 1
fi
echo "package check passed: $(basename "$main_package") $(basename "$demo_package")"
