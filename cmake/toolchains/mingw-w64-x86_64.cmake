# Windows x86_64 with the MinGW-w64 -posix compilers; programs run under Wine's 64-bit loader.
set(ULVREN_MINGW_TRIPLET x86_64-w64-mingw32)
set(ULVREN_MINGW_PROCESSOR AMD64)
# Debian keeps wine64 out of PATH; the wine wrapper would start the 32-bit loader first.
find_program(ULVREN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CACHE REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
