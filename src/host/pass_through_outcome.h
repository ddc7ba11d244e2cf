#pragma once

#include <cstdint>
#include <string>

namespace ulvren {

// What became of one pass-through request, in categories ordered from the best to the worst
// outcome. A caller judges for itself what it needs: a vendor command needs only that the request
// was carried out (its reply tells the rest), a sector write needs a complete, GOOD transfer.
enum class PassThroughCategory {
    Good,            // carried out; SCSI status GOOD
    Status,          // carried out; another SCSI status, without sense data
    Sense,           // carried out; CHECK CONDITION, with sense data in the record's sense area
    TransportError,  // the command or its answer was lost on the way (timeout, reset, unplug)
    OsError,         // the operating system refused the call (bad handle, no permission)
};

struct PassThroughOutcome {
    PassThroughCategory category = PassThroughCategory::OsError;
    std::uint8_t scsi_status = 0;
    // Bytes of the data phase that did not move.
    std::uint32_t residual = 0;
    // For transport and OS errors, why, in words for a person.
    std::string reason;

    // The device received the command and answered it, whatever it answered.
    bool CarriedOut() const { return category <= PassThroughCategory::Sense; }
    // The device did all that was asked: GOOD, and every byte of the data phase moved.
    bool Complete() const { return category == PassThroughCategory::Good && residual == 0; }

    // The device answered with `scsi_status`; `has_sense` when it sent sense data.
    static PassThroughOutcome Answered(std::uint8_t scsi_status, bool has_sense,
                                       std::uint32_t residual = 0);
    static PassThroughOutcome Failed(PassThroughCategory category, std::string reason);
};

}  // namespace ulvren
