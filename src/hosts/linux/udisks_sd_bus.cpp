#include <systemd/sd-bus.h>

#include <cerrno>
#include <system_error>

#include "hosts/linux/udisks.h"

namespace ulvren {
namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";

struct BusDeleter {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusPointer = std::unique_ptr<sd_bus, BusDeleter>;

// The reason of a failed call: the D-Bus error's message when the peer sent one, else the errno.
std::string CallFailure(std::string_view what, const sd_bus_error& error, int result) {
    std::string text(what);
    text += ": ";
    text += sd_bus_error_is_set(&error) && error.message != nullptr
                ? std::string(error.message)
                : std::generic_category().message(-result);
    return text;
}

class SystemBusUDisks final : public UDisks {
  public:
    explicit SystemBusUDisks(BusPointer bus) : bus_(std::move(bus)) {}

    bool Unmount(std::string_view kernel_name, std::string& error) override {
        return CallWithOptions(kernel_name, "org.freedesktop.UDisks2.Filesystem", "Unmount",
                               "udisks could not unmount /dev/", error);
    }

    bool Rescan(std::string_view kernel_name, std::string& error) override {
        return CallWithOptions(kernel_name, "org.freedesktop.UDisks2.Block", "Rescan",
                               "udisks could not re-read /dev/", error);
    }

  private:
    // Both methods take one a{sv} of options; the tool's only option is that udisks must not
    // stop to ask for a password in the middle of a session that holds the recorder.
    bool CallWithOptions(std::string_view kernel_name, const char* interface, const char* method,
                         std::string_view failure, std::string& error) {
        const std::string path = UDisksBlockObjectPath(kernel_name);
        sd_bus_error bus_error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        const int result =
            sd_bus_call_method(bus_.get(), kService, path.c_str(), interface, method, &bus_error,
                               &reply, "a{sv}", 1, "auth.no_user_interaction", "b", 1);
        if (result < 0) {
            error = CallFailure(std::string(failure) + std::string(kernel_name), bus_error, result);
        }
        sd_bus_error_free(&bus_error);
        sd_bus_message_unref(reply);
        return result >= 0;
    }

    BusPointer bus_;
};

}  // namespace

std::unique_ptr<UDisks> ConnectToRunningUDisks() {
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0) {
        return nullptr;
    }
    BusPointer bus(raw);
    sd_bus_error bus_error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int has_owner = 0;
    const int result = sd_bus_call_method(bus.get(), "org.freedesktop.DBus",
                                          "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                          "NameHasOwner", &bus_error, &reply, "s", kService);
    if (result >= 0 && sd_bus_message_read(reply, "b", &has_owner) < 0) {
        has_owner = 0;
    }
    sd_bus_error_free(&bus_error);
    sd_bus_message_unref(reply);
    if (result < 0 || !has_owner) {
        return nullptr;
    }
    return std::make_unique<SystemBusUDisks>(std::move(bus));
}

}  // namespace ulvren
