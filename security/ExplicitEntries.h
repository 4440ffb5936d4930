// Owner of the entry array the system expands an access list into; the
// system allocated it, and it goes back with LocalFree.
#pragma once

#include "platform/win32.h"

class CExplicitEntries {
public:
    CExplicitEntries() = default;
    CExplicitEntries(const CExplicitEntries&) = delete;
    CExplicitEntries& operator=(const CExplicitEntries&) = delete;
    ~CExplicitEntries() { Free(); }

    // Expands `acl`, one entry per access entry in list order; the system's
    // error code, ERROR_SUCCESS when the entries are there.
    DWORD Read(PACL acl);

    ULONG Count() const { return count; }
    const EXPLICIT_ACCESS_A& operator[](ULONG index) const { return entries[index]; }

private:
    void Free();

    ULONG count = 0;
    PEXPLICIT_ACCESS_A entries = nullptr;
};
