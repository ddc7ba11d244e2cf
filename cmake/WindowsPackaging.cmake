# The Windows release: one zip per architecture with UlvrenTool.exe and ulvren.exe, which need
# nothing beside themselves (`cpack` in the build folder).
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
