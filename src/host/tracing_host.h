#pragma once

#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "host/forwarding_host.h"

namespace ulvren {

// One trace line for a completed request:
//   in cdb=<hex> len=<n> timeout=<s> sense=<n> reply=<first 8 reply bytes, hex>
//   out cdb=<hex> len=<n> timeout=<s> sense=<n>
// Tools outside the project read this format; keep it stable.
std::string FormatTraceLine(const ScsiPassThroughRequest& request);

// Wraps any host and writes one trace line per pass-through request, after it completes. The
// requests go on when the trace cannot be written; the first failure is kept for the caller to
// report, so that a trace with lines missing is never taken for a whole one.
class TracingHost final : public ForwardingHost {
  public:
    TracingHost(Host& inner, std::ostream& out) : ForwardingHost(inner), out_(out) {}

    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;

    // Why the first trace line that could not be written failed; empty while all were written.
    std::optional<std::string> WriteFailure() const;

  private:
    std::ostream& out_;
    mutable std::mutex out_mutex_;
    std::optional<std::string> write_failure_;
};

}  // namespace ulvren
