# Windows x86 (32-bit) with the MinGW-w64 -posix compilers; programs run under Wine.
set(ULVREN_MINGW_TRIPLET i686-w64-mingw32)
set(ULVREN_MINGW_PROCESSOR x86)
find_program(ULVREN_WINE NAMES wine PATHS /usr/lib/wine NO_CACHE REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
