#include "hosts/posix/message_locale.h"

#include <array>

namespace ulvren {

std::string MessageLocaleName(const EnvironmentReader& read_environment) {
    constexpr std::array<const char*, 3> kVariables = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* variable : kVariables) {
        const char* value = read_environment(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace ulvren
