# The Debian package: what `cmake --install` puts in place (ulvren-tool, ulvren-demo, ulvren,
# the desktop entry and the icons, the authorisation helper in /usr/libexec/ulvren and its polkit
# action), with the shared libraries' packages found by dpkg-shlibdeps. It ships no udev rule:
# the helper writes one per recorder when an administrator approves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ulvren)
set(CPACK_PACKAGE_VENDOR "Ulvren Tool developers")
set(CPACK_PACKAGE_CONTACT "Ulvren Tool developers <ulvren-tool@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tool for a USB pocket video recorder")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds the recorder among the removable drives, shows its capacity and disk type, formats it \
as FAT32, logs in to a password disk, changes its password and sets its clock. Comes with a \
window (ulvren-tool), a command line (ulvren) and a demo over a simulated recorder (ulvren-demo). \
\"ulvren authorize\" lets the seated users of the computer use a recorder, with one \
administrator approval.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The disk-type list shows Chinese in every language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk | fonts-arphic-uming")
# ulvren authorize asks through pkexec; udisks2 unmounts and re-reads for the seated user.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, udisks2")
include(CPack)
