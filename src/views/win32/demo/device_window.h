#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hosts/simulated/demo_machine.h"
#include "views/win32/main_window_view.h"

namespace ulvren::views::win32 {

// The demo's second window, "Simulated devices": a check box for each of the demo's drives
// (SetUpDemoDrives) that plugs it in or unplugs it, and tells the main window of the change as
// the system does of a real drive: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE and the drive's volume. It shows beside the main window once that has
// been created.
class DeviceWindow final : public MainWindowObserver {
  public:
    DeviceWindow(HINSTANCE instance, SimulatedHost& host, const std::string& recorder_root,
                 std::string image_path, const std::string& second_recorder_root);
    ~DeviceWindow() override;
    DeviceWindow(const DeviceWindow&) = delete;
    DeviceWindow& operator=(const DeviceWindow&) = delete;

    // MainWindowObserver.
    void OnCreated(HWND main_window) override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // Creates the window and its controls, laid out for their texts in the system's message font.
    void Create();
    void Toggle(std::size_t index);

    HINSTANCE instance_;
    SimulatedHost& host_;
    std::string image_path_;
    std::vector<DemoDrive> drives_;
    HWND main_window_ = nullptr;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace ulvren::views::win32
