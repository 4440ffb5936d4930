// Keeps the host's screen under a box that the plug-in leaves standing (a
// progress notice) and puts it back once, at the latest when leaving scope.
#pragma once

#include "platform/win32.h"

class ScreenKeeper {
public:
    ScreenKeeper() = default;
    ScreenKeeper(const ScreenKeeper&) = delete;
    ScreenKeeper& operator=(const ScreenKeeper&) = delete;
    ~ScreenKeeper() { Restore(); }

    // Saves the whole screen unless it is saved already.
    void Save();
    // Hands the saved screen back to the host; does nothing when none is saved.
    void Restore();

private:
    HANDLE screen = nullptr;
    bool saved = false;
};
