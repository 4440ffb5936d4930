// config reads both switches when the plug-in starts and writes both when its
// dialog is confirmed, so two runs at once would undo each other's change.
// One run at a time holds this lock, from before the plug-in starts until the
// settings are read back.
#pragma once

#include <string>

#include "platform/win32.h"

class SettingsLock {
public:
    // Waits until no other run holds the lock.
    SettingsLock();
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // Empty when the lock is held; otherwise why not.
    const std::string& Failure() const { return failure; }

private:
    HANDLE mutex;
    std::string failure;
};
