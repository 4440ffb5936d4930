#include "streams/StreamKind.h"

const StreamKind kStreamKinds[kStreamKindCount] = {
    {BACKUP_DATA, "Data", "Standard data"},
    {BACKUP_EA_DATA, "EA_Data", "Extended attribute data"},
    {BACKUP_SECURITY_DATA, "Security_Data", "Security descriptor data"},
    {BACKUP_ALTERNATE_DATA, "Alternative_Data", "Alternative data stream"},
    {BACKUP_LINK, "Link", "Hard link information"},
    {BACKUP_PROPERTY_DATA, "Property_Data", "Property data"},
    {BACKUP_OBJECT_ID, "Object_Id", "Objects identifiers"},
    {BACKUP_REPARSE_DATA, "Reparse_Data", "Reparse points"},
    {BACKUP_SPARSE_BLOCK, "Sparse_Block", "Sparse file"},
};

int FindStreamKind(DWORD id) {
    for (int index = 0; index < kStreamKindCount; ++index) {
        if (kStreamKinds[index].id == id)
            return index;
    }
    return -1;
}

const char* StreamKindDescription(int index) {
    return kStreamKinds[index].description;
}
