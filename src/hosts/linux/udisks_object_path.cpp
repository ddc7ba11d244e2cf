#include <cstdio>

#include "hosts/linux/udisks.h"

namespace ulvren {

std::string UDisksBlockObjectPath(std::string_view kernel_name) {
    std::string path = "/org/freedesktop/UDisks2/block_devices/";
    for (const char c : kernel_name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '_') {
            path += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "_%02x", byte);
            path += escaped;
        }
    }
    return path;
}

}  // namespace ulvren
