#!/usr/bin/env bash
# Sourced by the Windows scripts: a Wine prefix of the project's own, ready for test programs,
# and a 32-bit Wine that runs where the kernel does not.
#
# Some kernels run no 32-bit programs (booted without IA-32 emulation). Wine's 32-bit loader is
# such a program; there it runs under qemu-user, registered with binfmt_misc for i386 programs.
# Programs that start several threads do not all survive that emulation (QEMU_I386_EMULATION is
# then set, and run-windows-tests.sh says what it leaves out).

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"

QEMU_I386_EMULATION=false
if [ -f build/wine32-unavailable.txt ]; then
    :  # no 32-bit Wine on this machine (setup-debian.sh): nothing to emulate
elif [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    QEMU_I386_EMULATION=true
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "This kernel runs no 32-bit programs: running Wine's 32-bit loader under qemu-user"
    {
        dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q 'install ok installed' ||
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
                qemu-user-static
        [ -e /proc/sys/fs/binfmt_misc/register ] ||
            mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
        # The i386 ELF header, types 2 and 3 (executables and position-independent ones).
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
            > /proc/sys/fs/binfmt_misc/register
    }
    QEMU_I386_EMULATION=true
fi
export QEMU_I386_EMULATION

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wine wineboot --init
    # A program that crashes ends at once: no debugger is started for it, in either view of the
    # registry.
    for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
               'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
        wine reg add "$key" /v Debugger /d false /f >/dev/null
    done
    wineserver -w
fi

# The dialogs' font, "新宋体", drawn with an installed CJK font (Debian's fonts-wqy-microhei).
if [ ! -f "$WINEPREFIX/.ulvren-font-replacement" ]; then
    replacement=$(mktemp --suffix=.reg)
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"新宋体"="WenQuanYi Micro Hei"\r\n' |
        iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$replacement"
    wine regedit /S "$(winepath -w "$replacement")" && touch "$WINEPREFIX/.ulvren-font-replacement"
    wineserver -w
    rm -f "$replacement"
fi
