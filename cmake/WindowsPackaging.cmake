# The Windows release: one zip per architecture with UlvrenTool.exe, UlvrenToolDemo.exe and
# ulvren.exe, which need
# nothing beside themselves, and README.txt and LICENSE.txt (`cpack` in the build folder).

# What each program says it is, in its version resource.
ulvren_add_version_resource(UlvrenTool "Ulvren Tool")
ulvren_add_version_resource(ulvren "Ulvren Tool command line")
ulvren_add_version_resource(UlvrenToolDemo "Ulvren Tool demonstration")

# The readme and the licence, with Windows line ends so that every editor shows their lines.
set(release_dir ${CMAKE_CURRENT_BINARY_DIR}/release)
function(ulvren_release_text source destination)
    file(READ ${source} text)
    file(CONFIGURE OUTPUT ${destination} CONTENT "${text}" @ONLY NEWLINE_STYLE CRLF)
endfunction()
ulvren_release_text(${PROJECT_SOURCE_DIR}/data/windows/README.txt.in ${release_dir}/README.txt)
ulvren_release_text(${PROJECT_SOURCE_DIR}/LICENSE ${release_dir}/LICENSE.txt)
install(FILES ${release_dir}/README.txt ${release_dir}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ulvren-tool)
set(CPACK_PACKAGE_VENDOR "Ulvren Tool developers")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME windows-x64)
else()
    set(CPACK_SYSTEM_NAME windows-x86)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
