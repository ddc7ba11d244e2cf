# Turns the assembled bootstrap into a C++ source file.
# Run as: cmake -DTEMPLATE=bootstrap.bin -DCODE=bootstrap_code.bin -DOUTPUT=out.cpp -P this file
# TEMPLATE holds the 420 template bytes; CODE holds the code alone, whose size is recorded.
foreach(variable TEMPLATE CODE OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "embed_bootstrap.cmake needs -D${variable}=...")
    endif()
endforeach()

set(expected_size 420)
file(SIZE ${TEMPLATE} template_size)
if(NOT template_size EQUAL expected_size)
    message(FATAL_ERROR "${TEMPLATE} is ${template_size} bytes, not ${expected_size}")
endif()
file(SIZE ${CODE} code_size)

# Hex digits, two per byte, become "0xNN," lines of twelve bytes.
file(READ ${TEMPLATE} hex HEX)
set(bytes "")
string(LENGTH "${hex}" hex_length)
set(bytes_per_line 12)
math(EXPR chars_per_line "${bytes_per_line} * 2")
math(EXPR last_line_start "${hex_length} - 1")
foreach(line_start RANGE 0 ${last_line_start} ${chars_per_line})
    string(SUBSTRING "${hex}" ${line_start} ${chars_per_line} line)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " line "${line}")
    string(STRIP "${line}" line)
    string(APPEND bytes "    ${line}\n")
endforeach()

file(WRITE ${OUTPUT} "// Generated from bootstrap.asm by embed_bootstrap.cmake; do not edit.
#include <array>

#include \"format/bootstrap/bootstrap_code.h\"
#include \"format/bootstrap_template.h\"

namespace ulvren {

namespace {

constexpr std::array<std::uint8_t, kBootstrapSize> kTemplate{
${bytes}};

}  // namespace

std::span<const std::uint8_t, kBootstrapSize> BootstrapTemplate() {
    return kTemplate;
}

std::size_t BootstrapCodeSize() {
    return ${code_size};
}

}  // namespace ulvren
")
