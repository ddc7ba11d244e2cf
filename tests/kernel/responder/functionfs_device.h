#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "command_responder.h"

namespace ulvren::kernel_test {

// A USB Mass Storage device on a FunctionFS mount: ep0 for events and class requests, ep1 bulk-in,
// ep2 bulk-out. One thread takes the events, another (the caller of ServeBulk) the commands.
//
// When the host resets the device or the gadget is disabled, whatever the command thread had in
// flight is dropped: the bulk thread is interrupted out of a blocked transfer, and a reply whose
// command came before the reset is never sent.
class FunctionFsDevice {
  public:
    // `udc_file` is the gadget's UDC file in configfs, which an unplug fault empties.
    FunctionFsDevice(std::string mount_point, std::string udc_file, CommandResponder& responder);
    ~FunctionFsDevice();
    FunctionFsDevice(const FunctionFsDevice&) = delete;
    FunctionFsDevice& operator=(const FunctionFsDevice&) = delete;

    // Writes the descriptors and strings and opens the endpoints. False, with a message on
    // standard error, when that fails.
    bool Start();
    // The event loop on ep0; returns when ep0 fails.
    void ServeEvents();
    // The command loop on the bulk endpoints; never returns.
    [[noreturn]] void ServeBulk();

  private:
    void HandleSetup(const void* request);
    // Starts a new epoch: every transfer of the old one is abandoned.
    void Reset(bool enabled);
    void WaitUntilEnabled();
    bool StillCurrent(std::uint64_t epoch) const { return epoch_ == epoch; }
    bool ReadFully(std::span<std::uint8_t> buffer, std::uint64_t epoch);
    bool WriteAll(std::span<const std::uint8_t> buffer, std::uint64_t epoch);
    void ServeCommand(std::uint64_t epoch);
    void Unplug();

    std::string mount_point_;
    std::string udc_file_;
    CommandResponder& responder_;
    int ep0_ = -1;
    int bulk_in_ = -1;
    int bulk_out_ = -1;
    pthread_t bulk_thread_{};
    std::atomic<bool> bulk_thread_known_ = false;
    std::atomic<std::uint64_t> epoch_ = 0;
    std::mutex mutex_;
    std::condition_variable enabled_changed_;
    bool enabled_ = false;
};

}  // namespace ulvren::kernel_test
