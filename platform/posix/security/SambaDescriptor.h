// The NT security descriptor a Samba server keeps for a file with its
// acl_xattr module: the attribute security.NTACL, an NDR-encoded
// xattr_NTACL of version 1 to 4 (a bare descriptor, then ones with hashes
// Samba checks it against, a description and a time). Windows clients see
// and set this descriptor; the file's POSIX mode is only Samba's copy of it.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <string>

namespace mvx {

extern const char kSambaDescriptorName[];

// The self-relative descriptor embedded in `blob` (laid out anew), checked as a descriptor
// from disk is. False for a blob that is cut short, of an unknown version,
// without a descriptor, or whose descriptor is damaged.
WIN32_LAYER_API bool SambaDescriptorOf(const std::string& blob, std::string& descriptor);

}  // namespace mvx
