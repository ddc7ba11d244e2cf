#include "host/tracing_host.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

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
    errno = 0;
    out_ << line << '\n' << std::flush;
    if (!out_ && !write_failure_) {
        write_failure_ = errno != 0 ? std::generic_category().message(errno) : "the stream failed";
    }
    return outcome;
}

std::optional<std::string> TracingHost::WriteFailure() const {
    std::lock_guard lock(out_mutex_);
    return write_failure_;
}

}  // namespace ulvren
