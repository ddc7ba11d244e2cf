#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "host/forwarding_host.h"

namespace ulvren {

// One trace line for a completed request:
//   in cdb=<hex> len=<n> timeout=<s> sense=<n> reply=<first 8 reply bytes, hex>
//   out cdb=<hex> len=<n> timeout=<s> sense=<n>
// Tools outside the project read this format; keep it stable.
std::string FormatTraceLine(const ScsiPassThroughRequest& request);

// Wraps any host and writes one trace line per pass-through request, after it completes.
class TracingHost final : public ForwardingHost {
  public:
    TracingHost(Host& inner, std::ostream& out) : ForwardingHost(inner), out_(out) {}

    PassThroughOutcome PassThrough(DeviceHandle handle, ScsiPassThroughRequest& request) override;

  private:
    std::ostream& out_;
    std::mutex out_mutex_;
};

}  // namespace ulvren
