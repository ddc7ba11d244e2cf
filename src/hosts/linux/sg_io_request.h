#pragma once

#include <scsi/sg.h>

#include "host/scsi_pass_through_request.h"

namespace ulvren {

// Builds the SG_IO header that carries `request`: same CDB, direction, data length and buffer,
// the timeout in milliseconds, and the record's own sense area as the sense buffer (so sense bytes
// land where the record keeps them). The header points into `request`, which must outlive it.
sg_io_hdr BuildSgIoHeader(ScsiPassThroughRequest& request);

enum class SgIoOutcome {
    CarriedOut,    // the command reached the device and came back, whatever its SCSI status
    TimedOut,      // the device did not answer within the timeout
    NotDelivered,  // the adapter or its driver could not carry the command
};

// Judges an SG_IO call whose ioctl succeeded. A CHECK CONDITION with sense data counts as carried
// out: the status and sense go back to the caller unjudged.
SgIoOutcome JudgeSgIoOutcome(const sg_io_hdr& header);

}  // namespace ulvren
