# GoogleTest for a cross build: the build machine's libgtest is for the build machine, so the
# sources that Debian's googletest package puts in /usr/src/googletest are built with the cross
# compiler, as part of this project. Nothing is downloaded.
set(ULVREN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${ULVREN_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${ULVREN_GOOGLETEST_SOURCE} "
                        "(Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${ULVREN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Its CMake files define GTest::gtest and GTest::gtest_main.
