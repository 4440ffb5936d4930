// Wine has no backup interface (its BackupRead fails with ERROR_NOT_SUPPORTED),
// so no file would open as a panel there. The smoke host stands in for it:
// it points the plug-in's import slots for BackupRead and BackupSeek at
// functions that deliver a list of stream headers of the test's choosing.
// Everything else the plug-in does with the file goes to the system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct StandInStream {
    DWORD id;             // BACKUP_DATA, BACKUP_ALTERNATE_DATA, ...
    std::wstring name;    // as the system gives it, such as L":notes:$DATA"
    uint64_t size;
};

// Redirects the imports of `module`. False when it does not import both
// functions from KERNEL32, or a slot cannot be written.
bool InstallBackupStandIn(HMODULE module);

// What every backup walk opened from now on delivers, in order.
void SetStandInStreams(std::vector<StandInStream> streams);

// Walks begun and not yet ended by an abort; a walk the plug-in never ends
// leaks its context.
int OpenStandInWalks();
