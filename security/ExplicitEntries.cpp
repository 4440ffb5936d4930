#include "security/ExplicitEntries.h"

DWORD CExplicitEntries::Read(PACL acl) {
    Free();
    const DWORD error = GetExplicitEntriesFromAclA(acl, &count, &entries);
    if (error != ERROR_SUCCESS) {
        // The outputs of a failed call are no array of ours to free.
        entries = nullptr;
        count = 0;
    }
    return error;
}

void CExplicitEntries::Free() {
    // The array is freed also when it holds no entry.
    if (entries != nullptr)
        LocalFree(entries);
    entries = nullptr;
    count = 0;
}
