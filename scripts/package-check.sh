#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with its dependencies, and runs the
# installed programs from their installed paths: `ulvren --version`, the authorisation helper's
# place and polkit action, and the demo's start-up check (offscreen, with its recorder in a scratch data directory). Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset package >/dev/null
cmake --build --preset package
(cd build/package && cpack)
package=$(ls build/package/ulvren_*.deb)
dpkg-deb --field "$package" Package Version Depends

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "$(realpath "$package")"

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
set -x
/usr/bin/ulvren --version
test -f /usr/share/applications/ulvren-tool.desktop
test -f /usr/share/icons/hicolor/48x48/apps/ulvren-tool.png
test -x /usr/bin/ulvren-tool
# The authorisation helper and its polkit action, naming it; no udev rule of the package's own.
test -x /usr/libexec/ulvren/ulvren-authorize
grep -q '>/usr/libexec/ulvren/ulvren-authorize<' /usr/share/polkit-1/actions/org.ulvren.tool.policy
! dpkg -L ulvren | grep -q 'udev/rules.d'
XDG_DATA_HOME=$data XDG_RUNTIME_DIR=$data QT_QPA_PLATFORM=offscreen /usr/bin/ulvren-demo --check
