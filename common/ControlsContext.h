#pragma once
// Version 6 of the common controls for the windows made while an object of
// this class is active on the thread. The program turns it on once its main
// window is shown, so that resolving the controls' assembly does not delay
// the first window.
#include <windows.h>

namespace quorvel {

class ControlsContext {
public:
    ControlsContext() = default;
    ControlsContext(const ControlsContext&) = delete;
    ControlsContext& operator=(const ControlsContext&) = delete;
    ~ControlsContext();

    // Activates the activation context described by the manifest resource
    // `manifestId` of `module`. False when it cannot be made; windows then
    // get the system's default controls.
    bool Activate(HMODULE module, int manifestId);

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

} // namespace quorvel
