# Warnings and sanitizers for every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough)
if(ULVREN_WERROR)
    add_compile_options(-Werror)
endif()
if(ULVREN_SANITIZE AND ULVREN_PLATFORM STREQUAL "windows")
    message(FATAL_ERROR "MinGW-w64 has no sanitizers: configure the Windows build without "
                        "ULVREN_SANITIZE")
endif()
if(ULVREN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
