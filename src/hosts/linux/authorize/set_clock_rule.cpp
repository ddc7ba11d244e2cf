#include "hosts/linux/authorize/set_clock_rule.h"

namespace ulvren::authorize {

std::string SetClockJump(bool clock_on_plug) {
    return clock_on_plug ? ", GOTO=\"ulvren_clock\"" : "";
}

std::string SetClockRuleLines(bool clock_on_plug) {
    if (!clock_on_plug) {
        return {};
    }
    return "GOTO=\"ulvren_end\"\n"
           "LABEL=\"ulvren_clock\"\n"
           "# \"ulvren authorize --clock-on-plug\": each plug sets the recorder's clock.\n"
           "SUBSYSTEM==\"scsi_generic\", TAG+=\"systemd\"\n"
           "SUBSYSTEM==\"scsi_generic\", ACTION==\"add\", ENV{SYSTEMD_WANTS}+=\"" +
           std::string(kSetClockUnitTemplate) + "%k.service\"\n";
}

}  // namespace ulvren::authorize
