// Error codes of this layer for conditions Windows never meets. Bit 29 marks
// a code as an application's own, so none collides with a system code;
// FormatMessageA gives their texts as it gives the system's.
#pragma once

#include "platform/posix/Win32Types.h"

namespace mvx {

// A named stream larger than its volume hands out as an extended attribute:
// ntfs-3g's default interface cuts every stream at 64 KiB.
constexpr DWORD kErrorStreamBeyondAttribute = 0x20000001;

// The registry path names something that exists and is no regular file (a
// device, pipe, socket or directory): it is never written, nor anything made
// beside it.
constexpr DWORD kErrorRegistryNotAFile = 0x20000002;

// A device, pipe or socket: Windows sees such a file as empty, and reading it
// could wait forever for a writer.
constexpr DWORD kErrorSpecialFile = 0x20000003;

// An extended attribute whose name is not UTF-8 has no Windows stream name.
constexpr DWORD kErrorStreamNameNotUtf8 = 0x20000004;

// The names of a file's extended attributes together exceed the 64 KiB the
// kernel hands out in one list, so none of them can be had.
constexpr DWORD kErrorAttributeListTooLarge = 0x20000005;

// What a copy read changed under it (another program wrote it meanwhile): the
// copy would match neither the old contents nor the new.
constexpr DWORD kErrorSourceChanged = 0x20000006;

// The registry file does not start as a registry-export file does, so nothing
// in it is read, and no change is written over it.
constexpr DWORD kErrorRegistryNotRegistryText = 0x20000007;

// A stream whose name holds '/' on a volume that gives streams as paths
// (ntfs-3g's streams_interface=windows): no path reaches it there.
constexpr DWORD kErrorStreamNameHasNoPath = 0x20000008;

// A new stream of a file not in Samba's form under a name Samba keeps its
// records by (DOSATTRIB, or the stream prefix): the file would then read as
// Samba's, and its other streams would be taken for Samba's records.
constexpr DWORD kErrorStreamNameIsSambas = 0x20000009;

}  // namespace mvx
