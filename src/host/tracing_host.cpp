#include "host/tracing_host.h"

#include <algorithm>
#include <cstdio>

namespace ulvren {
namespace {

void AppendHex(std::string& text, const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
}

}  // namespace

std::string FormatTraceLine(const ScsiPassThroughRequest& request) {
    std::string line = request.DataIn() ? "in cdb=" : "out cdb=";
    const auto cdb = request.Cdb();
    AppendHex(line, cdb.data(), cdb.size());
    line += " len=" + std::to_string(request.DataTransferLength());
    line += " timeout=" + std::to_string(request.TimeOutValue());
    line += " sense=" + std::to_string(request.SenseInfoLength());
    if (request.DataIn()) {
        line += " reply=";
        const auto* reply = static_cast<const std::uint8_t*>(request.DataBuffer());
        if (reply != nullptr) {
            AppendHex(line, reply, std::min<std::size_t>(request.DataTransferLength(), 8));
        }
    }
    return line;
}

bool TracingHost::PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) {
    const bool carried_out = ForwardingHost::PassThrough(handle, request);
    const std::string line = FormatTraceLine(request);
    std::lock_guard lock(out_mutex_);
    out_ << line << '\n' << std::flush;
    return carried_out;
}

}  // namespace ulvren
