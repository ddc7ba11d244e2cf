#!/bin/sh
# Prepares the cached Debian root for one run, from the initramfs (chroot, before systemd starts):
# the kernel's module index, the two users, and the units the tests need on and off.
set -e
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
for modules in /lib/modules/*; do
    depmod -a "${modules##*/}"
done
echo 0123456789abcdef0123456789abcdef >/etc/machine-id
echo desktop-guest >/etc/hostname

# desk sits at the seat (tty1, autologin) and runs the scenarios' jobs there; other has no seat;
# second logs in on tty2 when a scenario takes the seat from desk.
if ! id desk >/dev/null 2>&1; then
    useradd --create-home --shell /bin/sh desk
    useradd --create-home --shell /bin/sh other
    cat >>/home/desk/.profile <<'PROFILE'
[ "$(tty)" = /dev/tty1 ] && exec /test/seat-agent.sh
PROFILE
fi
id second >/dev/null 2>&1 || useradd --create-home --shell /bin/sh second
# desk's user manager outlives a logout, so that desk's next login (scenario_deauthorize_plugged)
# does not wait for it to start again.
mkdir -p /var/lib/systemd/linger
touch /var/lib/systemd/linger/desk

systemctl -q enable ulvren-desktop-tests.service
# The console is the tests' report, not a login; the timers only slow the boot.
systemctl -q mask serial-getty@ttyS0.service apt-daily.timer apt-daily-upgrade.timer \
    dpkg-db-backup.timer e2scrub_all.timer e2scrub_reap.service fstrim.timer man-db.timer
