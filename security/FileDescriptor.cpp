#include "security/FileDescriptor.h"

namespace {

// The longest self-relative descriptor: a 20-byte header, two lists whose
// sizes are 16-bit and two SIDs of at most 68 bytes. A first guess beyond it
// (a stream size that names no descriptor) would only ask for memory that
// the descriptor never fills, or more than there is: the system is asked.
constexpr uint32_t kLongestDescriptor = 20 + 2 * 0xFFFF + 2 * 68;

// Whether the call filled no more than `limit` bytes; a failure other than
// the one that asks for more room throws.
bool ReadWithin(const char* name, SECURITY_INFORMATION requested, CRawBuffer& buffer,
                DWORD limit, DWORD& needed) {
    needed = 0;
    if (GetFileSecurityA(name, requested, buffer.Data(), limit, &needed))
        return needed <= limit;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        throw "GetFileSecurity error";
    return false;
}

}  // namespace

DWORD ReadFileDescriptor(const char* name, SECURITY_INFORMATION requested, uint32_t firstGuess,
                         CRawBuffer& buffer) {
    if (firstGuess > kLongestDescriptor)
        firstGuess = 0;
    if (firstGuess > 0)
        buffer.Grow(firstGuess);
    DWORD needed = 0;
    if (ReadWithin(name, requested, buffer, firstGuess, needed))
        return firstGuess;
    const DWORD limit = needed;
    if (buffer.Capacity() < limit)
        buffer.Grow(limit - buffer.Capacity());
    // A descriptor that grew again since the first call is not chased: the
    // caller learns that the size did not hold.
    if (!ReadWithin(name, requested, buffer, limit, needed))
        throw "buffer to small for GetFileSecurity";
    return limit;
}
