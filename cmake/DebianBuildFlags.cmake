# The compiler and linker flags that Debian builds its packages with (fortify, stack protector,
# stack clash protection, relro, bindnow), as `dpkg-buildflags` gives them. Only the package
# preset turns this on; the sanitizer build keeps its own flags.
option(ULVREN_DEBIAN_BUILD_FLAGS "Build with the flags of dpkg-buildflags (hardening=+all)" OFF)
if(ULVREN_DEBIAN_BUILD_FLAGS)
    find_program(ULVREN_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    function(ulvren_dpkg_buildflag name output)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${ULVREN_DPKG_BUILDFLAGS} --get ${name}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        set(${output} "${flags}" PARENT_SCOPE)
    endfunction()
    ulvren_dpkg_buildflag(CPPFLAGS cppflags)
    ulvren_dpkg_buildflag(CFLAGS cflags)
    ulvren_dpkg_buildflag(CXXFLAGS cxxflags)
    ulvren_dpkg_buildflag(LDFLAGS ldflags)
    string(APPEND CMAKE_C_FLAGS " ${cppflags} ${cflags}")
    string(APPEND CMAKE_CXX_FLAGS " ${cppflags} ${cxxflags}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${ldflags}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${ldflags}")
endif()
