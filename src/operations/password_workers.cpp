// The workers of the two password buttons.
#include <cstdint>

#include "operations/device_session.h"
#include "operations/workers.h"

namespace ulvren {
namespace {

// The login mode that the Login button sends.
constexpr std::uint8_t kLoginMode = 1;

}  // namespace

void ChangePasswordWorker(SharedWindowState& window, std::stop_token stop) {
    RunInDeviceSession(
        window, std::move(stop), SessionEnding::KeepMounted,
        [&window](CUsbDisk& disk, DeviceHandle handle) {
            if (disk.VerifyPassword(handle, window.members.old_password.Get()) == 0) {
                window.link.PostStatus(STATUS_OLD_PASSWORD_WRONG);
                return;
            }
            const bool changed = disk.SetPassword(handle, window.members.new_password.Get()) != 0;
            window.link.PostStatus(changed ? STATUS_PASSWORD_CHANGED
                                           : STATUS_PASSWORD_CHANGE_FAILED);
        });
}

void LoginWorker(SharedWindowState& window, std::stop_token stop) {
    // Dismounted after a refused login as well, so the system reads the volume afresh.
    RunInDeviceSession(window, std::move(stop), SessionEnding::Dismount,
                       [&window](CUsbDisk& disk, DeviceHandle handle) {
                           const bool accepted =
                               disk.Login(handle, kLoginMode,
                                          window.members.login_password.Get()) != 0;
                           window.link.PostStatus(accepted ? STATUS_LOGIN_OK : STATUS_LOGIN_FAILED);
                       });
}

}  // namespace ulvren
