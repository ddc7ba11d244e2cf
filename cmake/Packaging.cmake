# The Debian packages, both from the one build (CPack's DEB generator, one package per install
# component):
#   ulvren       the window, the command line, the desktop entry, the icons, the manual pages,
#                the completion, the AppStream metadata, and the authorisation helper in
#                /usr/libexec/ulvren with its polkit action (every install rule that names no
#                component: CMAKE_INSTALL_DEFAULT_COMPONENT_NAME); no udev rule: the helper writes
#                one per recorder when an administrator approves;
#   ulvren-demo  the demonstration over a simulated recorder, which nobody gets by default.
# Each carries the licence as its DEP-5 copyright file, a changelog and lintian's overrides.
set(ULVREN_MAINTAINER "Ulvren Tool developers <maintainers@ulvren.invalid>")
set(ULVREN_DEBIAN_REVISION 1)
set(ULVREN_DEBIAN_VERSION ${PROJECT_VERSION}-${ULVREN_DEBIAN_REVISION})

# The package documents, made once for every package.
set(deb_dir ${CMAKE_CURRENT_BINARY_DIR}/deb)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
# DEP-5 keeps the licence's text after its name: the MIT text without its title and copyright
# line, each line indented by one space and a blank line written as " .".
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" licence "${licence}")
string(REGEX REPLACE "\n$" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n" "\n " ULVREN_LICENSE_TEXT " ${licence}")
configure_file(${PROJECT_SOURCE_DIR}/data/deb/copyright.in ${deb_dir}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/deb/changelog.in ${deb_dir}/changelog @ONLY)
find_program(ULVREN_GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${deb_dir}/changelog.Debian.gz
    COMMAND ${ULVREN_GZIP} -9nc ${deb_dir}/changelog > ${deb_dir}/changelog.Debian.gz
    DEPENDS ${deb_dir}/changelog
    COMMENT "Compressing the Debian changelog"
)
add_custom_target(ulvren_package_documents ALL DEPENDS ${deb_dir}/changelog.Debian.gz)

function(ulvren_package_documents component package)
    install(FILES ${deb_dir}/copyright ${deb_dir}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    configure_file(${PROJECT_SOURCE_DIR}/data/deb/lintian-overrides.in
                   ${deb_dir}/overrides/${package} @ONLY)
    install(FILES ${deb_dir}/overrides/${package}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${component})
endfunction()
ulvren_package_documents(ulvren ulvren)
ulvren_package_documents(demo ulvren-demo)

# Maintainer scripts: installing makes root's device lock file (systemd-tmpfiles); removing the
# package takes back every recorder's access (the rules, and the ACLs through the helper while it
# is still installed).
set(ULVREN_AUTHORIZE_HELPER /usr/${CMAKE_INSTALL_LIBEXECDIR}/ulvren/ulvren-authorize)
foreach(script postinst prerm postrm)
    configure_file(${PROJECT_SOURCE_DIR}/data/deb/${script}.in ${deb_dir}/scripts/${script} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ulvren demo)
set(CPACK_PACKAGE_NAME ulvren)
set(CPACK_PACKAGE_VENDOR "Ulvren Tool developers")
set(CPACK_PACKAGE_CONTACT "${ULVREN_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ULVREN_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Descriptions: a synopsis, then lines of at most 80 columns (the package tools indent them).
set(CPACK_DEBIAN_ULVREN_PACKAGE_NAME ulvren)
set(CPACK_COMPONENT_ULVREN_DESCRIPTION "Tool for a USB pocket video recorder
Finds the recorder among the removable drives, shows its capacity and disk
type, formats it as FAT32, logs in to a password disk, changes its password
and sets its clock: from a window (ulvren-tool) or from the command line
(ulvren).")
# The disk-type list shows Chinese in every language. Noto's faces come first: they have both the
# Simplified and the Traditional glyph forms, which the window picks by language.
set(CPACK_DEBIAN_ULVREN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-arphic-uming")
# ulvren authorize asks through pkexec; udisks2 unmounts and re-reads for the seated user.
set(CPACK_DEBIAN_ULVREN_PACKAGE_RECOMMENDS "pkexec, udisks2")
set(CPACK_DEBIAN_ULVREN_PACKAGE_CONTROL_EXTRA "${deb_dir}/scripts/postinst;${deb_dir}/scripts/prerm;${deb_dir}/scripts/postrm")
set(CPACK_DEBIAN_ULVREN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME ulvren-demo)
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_DEMO_DESCRIPTION "Demonstration of the USB pocket video recorder tool
Shows the window of ulvren-tool over a simulated recorder, with a second window
that plugs and unplugs the recorder and a USB disk that is no recorder. It
needs no hardware and no administrator rights.")
set(CPACK_COMPONENT_DEMO_DEPENDS ulvren)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

include(CPack)
