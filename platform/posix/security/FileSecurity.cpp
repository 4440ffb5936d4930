// GetFileSecurityA: a file's descriptor with the parts asked for, under
// Windows's size-and-retry protocol.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/files/SambaStreams.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/FileSecurityDescriptor.h"
#include "platform/posix/files/ResolvedName.h"

#include <cstring>

namespace mvx {
namespace {

// A stream shares its file's descriptor, but it has to exist to be asked about.
DWORD CheckStream(const ResolvedName& name) {
    if (!name.hasStream) return NO_ERROR;
    bool present = false;
    const DWORD error = QueryStreamPresence(name.path, name.stream, present);
    if (error != NO_ERROR) return error;
    return present ? NO_ERROR : ERROR_FILE_NOT_FOUND;
}

BOOL CopyFileSecurity(LPCSTR name, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR buffer,
                      DWORD length, DWORD& needed) {
    ResolvedName resolved;
    if (!ResolveName(name, resolved)) return FALSE;
    std::string descriptor;
    DWORD error = CheckStream(resolved);
    if (error == NO_ERROR)
        error = ReadFileSecurity(AttributeFile::OfPath(resolved.path), requested, descriptor);
    if (error != NO_ERROR) return Fail(error);
    needed = static_cast<DWORD>(descriptor.size());
    if (length < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (!buffer) return Fail(ERROR_INVALID_PARAMETER);
    std::memcpy(buffer, descriptor.data(), descriptor.size());
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI GetFileSecurityA(LPCSTR name, SECURITY_INFORMATION requested,
                                        PSECURITY_DESCRIPTOR descriptor, DWORD length,
                                        LPDWORD needed) {
    if (mvx::FaultHit("GetFileSecurityA")) return FALSE;
    if (!needed) return mvx::Fail(ERROR_INVALID_PARAMETER);
    return mvx::GuardedCall(
        FALSE, [&] { return mvx::CopyFileSecurity(name, requested, descriptor, length, *needed); });
}
