// A Samba security.NTACL blob taken from the input: the layer either finds
// no descriptor in it, or finds one that is well formed, is its own choice
// of all its parts, and whose length, read from a heap block of exactly its
// size, is that size.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/posix/security/SambaDescriptor.h"
#include "platform/posix/security/SecurityDescriptor.h"
#include "platform/win32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string blob(reinterpret_cast<const char*>(data), size);
    std::string found = "untouched";
    if (!mvx::SambaDescriptorOf(blob, found)) {
        FUZZ_CHECK(found == "untouched");
        return 0;
    }
    std::string again;
    FUZZ_CHECK(mvx::SelectDescriptorParts(found, mvx::kAllDescriptorParts, again) == NO_ERROR);
    FUZZ_CHECK(again == found);
    std::unique_ptr<BYTE[]> exact(new BYTE[found.size()]);
    std::memcpy(exact.get(), found.data(), found.size());
    FUZZ_CHECK(GetSecurityDescriptorLength(exact.get()) == found.size());
    return 0;
}
