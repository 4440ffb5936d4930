// The length and the parts of a self-relative descriptor a caller holds.
// Only a pointer comes in, so each call first checks the whole descriptor as
// far as its header's offsets reach: a damaged one (say, read from a damaged
// disk) fails with ERROR_INVALID_SECURITY_DESCR instead of being followed
// out of bounds. The parts handed out point into the caller's descriptor.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SecurityDescriptor.h"

namespace mvx {
namespace {

BYTE* BytesOf(PSECURITY_DESCRIPTOR descriptor) { return static_cast<BYTE*>(descriptor); }

// The length of `descriptor` and where its parts lie; 0 with the last error
// set when it is absent or damaged.
DWORD Locate(PSECURITY_DESCRIPTOR descriptor, PartOffsets& where) {
    if (!descriptor) return Fail(ERROR_INVALID_PARAMETER);
    return GuardedCall<DWORD>(0, [&]() -> DWORD {
        const DWORD length = SelfRelativeLength(BytesOf(descriptor), where);
        if (length == 0) SetLastError(ERROR_INVALID_SECURITY_DESCR);
        return length;
    });
}

PACL AclAt(PSECURITY_DESCRIPTOR descriptor, DWORD offset) {
    return offset == 0 ? nullptr : reinterpret_cast<PACL>(BytesOf(descriptor) + offset);
}

// A list is there when its control bit says so; there with offset 0 is a
// null list (everyone has every right), which is not the same as none.
BOOL GetList(PSECURITY_DESCRIPTOR descriptor, bool isDacl, LPBOOL present, PACL* acl,
             LPBOOL defaulted) {
    PartOffsets where;
    if (!present || !acl || !defaulted) return Fail(ERROR_INVALID_PARAMETER);
    if (Locate(descriptor, where) == 0) return FALSE;
    const WORD presentBit = isDacl ? kDaclPresent : kSaclPresent;
    const WORD defaultedBit = isDacl ? kDaclDefaulted : kSaclDefaulted;
    *present = (where.control & presentBit) != 0;
    *acl = *present ? AclAt(descriptor, isDacl ? where.dacl : where.sacl) : nullptr;
    *defaulted = (where.control & defaultedBit) != 0;
    return TRUE;
}

}  // namespace
}  // namespace mvx

// Windows gives no error for a damaged descriptor here; 0 is the one answer
// no whole descriptor has, and the last error says why.
extern "C" DWORD WINAPI GetSecurityDescriptorLength(PSECURITY_DESCRIPTOR descriptor) {
    if (mvx::FaultHit("GetSecurityDescriptorLength")) return 0;
    mvx::PartOffsets where;
    return mvx::Locate(descriptor, where);
}

extern "C" BOOL WINAPI GetSecurityDescriptorOwner(PSECURITY_DESCRIPTOR descriptor, PSID* owner,
                                                  LPBOOL defaulted) {
    if (mvx::FaultHit("GetSecurityDescriptorOwner")) return FALSE;
    mvx::PartOffsets where;
    if (!owner || !defaulted) return mvx::Fail(ERROR_INVALID_PARAMETER);
    if (mvx::Locate(descriptor, where) == 0) return FALSE;
    *owner = where.owner == 0 ? nullptr : mvx::BytesOf(descriptor) + where.owner;
    *defaulted = (where.control & mvx::kOwnerDefaulted) != 0;
    return TRUE;
}

extern "C" BOOL WINAPI GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present,
                                                 PACL* dacl, LPBOOL defaulted) {
    if (mvx::FaultHit("GetSecurityDescriptorDacl")) return FALSE;
    return mvx::GetList(descriptor, true, present, dacl, defaulted);
}

extern "C" BOOL WINAPI GetSecurityDescriptorSacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present,
                                                 PACL* sacl, LPBOOL defaulted) {
    if (mvx::FaultHit("GetSecurityDescriptorSacl")) return FALSE;
    return mvx::GetList(descriptor, false, present, sacl, defaulted);
}
