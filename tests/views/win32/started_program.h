#pragma once

#include <windows.h>

#include <string>

namespace ulvren::testing {

// How long a wait on another program's windows may take before the test gives up on it: long
// enough for a cold Wine on a busy machine.
inline constexpr DWORD kPatienceMs = 60000;

// A program of the build, started with `arguments`; ended by force if a check failed before it
// closed. Its standard output goes to `output_file` when one is named.
struct StartedProgram {
    StartedProgram(const std::string& unix_path, const std::string& arguments,
                   const std::string& output_file = {});
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // Whether it started.
    explicit operator bool() const { return process.hProcess != nullptr; }
    // Its exit code once it has ended within kPatienceMs, else STILL_ACTIVE.
    DWORD WaitForExit() const;

    PROCESS_INFORMATION process{};
};

// Waits until `done` holds, at most kPatienceMs, checking it again after each window event of
// `process` (a window shown, a text changed), which are handled while this thread waits for
// messages, and every few milliseconds besides.
bool WaitForWindowEvents(DWORD process, bool (*done)(void*), void* context);
template <typename Done>
bool WaitForWindowEvents(DWORD process, Done done) {
    return WaitForWindowEvents(
        process, [](void* context) { return (*static_cast<Done*>(context))(); }, &done);
}

// A visible top-level window of `process` with a child of id `control`, else null.
HWND WindowWithControl(DWORD process, int control);

}  // namespace ulvren::testing
