#include "host/tracing_host.h"

#include <algorithm>
#include <cstdio>

#include "protocol/hex.h"

namespace ulvren {
std::string FormatTraceLine(const ScsiPassThroughRequest& request) {
    std::string line = request.DataIn() ? "in cdb=" : "out cdb=";
    line += HexBytes(request.Cdb());
    line += " len=" + std::to_string(request.DataTransferLength());
    line += " timeout=" + std::to_string(request.TimeOutValue());
    line += " sense=" + std::to_string(request.SenseInfoLength());
    if (request.DataIn()) {
        line += " reply=";
        const auto* reply = static_cast<const std::uint8_t*>(request.DataBuffer());
        if (reply != nullptr) {
            line +=
                HexBytes(std::span(reply, std::min<std::size_t>(request.DataTransferLength(), 8)));
        }
    }
    return line;
}

PassThroughOutcome TracingHost::PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) {
    PassThroughOutcome outcome = ForwardingHost::PassThrough(handle, request);
    const std::string line = FormatTraceLine(request);
    std::lock_guard lock(out_mutex_);
    out_ << line << '\n' << std::flush;
    return outcome;
}

}  // namespace ulvren
