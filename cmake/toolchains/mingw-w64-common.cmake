# Shared by the two Windows toolchain files, which set ULVREN_MINGW_TRIPLET first.
#
# Only the -posix compilers have std::thread and std::mutex; with both thread models installed
# the plain names point at the win32 one, so the -posix names are spelled out.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ULVREN_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${ULVREN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ULVREN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ULVREN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ULVREN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLL beside the executables: the C++ runtime, winpthreads and libgcc go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables, the text generator at build time included, run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ULVREN_WINE})
