// The workers of the two password buttons.
#include <cstdint>

#include "device/usb_disk.h"
#include "operations/device_session.h"
#include "operations/workers.h"

namespace ulvren {
namespace {

// The login mode that the Login button sends.
constexpr std::uint8_t kLoginMode = 1;

}  // namespace

void ChangePasswordWorker(SharedWindowState& window, std::stop_token stop) {
    CUsbDisk disk;
    DeviceSession session(window, disk, DeviceSession::Ending::KeepMounted);
    if (!session.WaitForDevice(std::move(stop)) || !session.OpenAndLock()) {
        return;
    }
    if (disk.VerifyPassword(session.Handle(), window.members.old_password.Get()) == 0) {
        window.link.PostStatus(STATUS_OLD_PASSWORD_WRONG);
        return;
    }
    const bool changed = disk.SetPassword(session.Handle(), window.members.new_password.Get()) != 0;
    window.link.PostStatus(changed ? STATUS_PASSWORD_CHANGED : STATUS_PASSWORD_CHANGE_FAILED);
}

void LoginWorker(SharedWindowState& window, std::stop_token stop) {
    CUsbDisk disk;
    // Dismounted after a refused login as well, so the system reads the volume afresh.
    DeviceSession session(window, disk, DeviceSession::Ending::Dismount);
    if (!session.WaitForDevice(std::move(stop)) || !session.OpenAndLock()) {
        return;
    }
    const bool accepted =
        disk.Login(session.Handle(), kLoginMode, window.members.login_password.Get()) != 0;
    window.link.PostStatus(accepted ? STATUS_LOGIN_OK : STATUS_LOGIN_FAILED);
}

}  // namespace ulvren
