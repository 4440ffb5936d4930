// A security descriptor as a file system stores it (system.ntfs_acl), taken
// from the input: the layer picks the parts the report asks for, as
// GetFileSecurityA does, and refuses a damaged one. What it gives is copied
// into a heap block of exactly its size, so that AddressSanitizer stops any
// read past it, and goes through the raw writer's length and the text
// report, for files and for directories, with and without the audit list.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/StringBase.h"
#include "fuzz/FuzzCheck.h"
#include "platform/posix/security/SecurityDescriptor.h"
#include "platform/win32.h"
#include "security/DescriptorText.h"

namespace {

const SECURITY_INFORMATION kReportedParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// The texts a report may fail with on a descriptor that is well formed but
// names what the system cannot tell.
bool IsReportFailure(const char* text) {
    const char* const known[] = {"GetSecurityDescriptorOwner", "Owner SID is NULL",
                                 "LookupAccountSid",           "GetSecurityDescriptorDacl",
                                 "GetSecurityDescriptorSacl",  "GetExplicitEntriesFromAcl"};
    for (const char* failure : known)
        if (std::strcmp(text, failure) == 0)
            return true;
    return false;
}

bool EndsWithLineEnd(const CStringBase<char>& text) {
    const int n = text.Length();
    return n >= 2 && text.CharAt(n - 2) == '\r' && text.CharAt(n - 1) == '\n';
}

void CheckReport(PSECURITY_DESCRIPTOR descriptor, bool isDirectory, bool withAudit) {
    try {
        const CStringBase<char> report = DescriptorText(descriptor, isDirectory, withAudit);
        FUZZ_CHECK(report.Length() >= 9 && std::strncmp(report.Ptr(), "Owner: ", 7) == 0);
        FUZZ_CHECK(EndsWithLineEnd(report));
        FUZZ_CHECK(std::strlen(report.Ptr()) == static_cast<size_t>(report.Length()));
    } catch (const char* text) {
        FUZZ_CHECK(IsReportFailure(text));
    }
}

void CheckParts(const std::string& raw, SECURITY_INFORMATION wanted) {
    std::string selected;
    const DWORD error = mvx::SelectDescriptorParts(raw, wanted, selected);
    if (error != NO_ERROR) {
        FUZZ_CHECK(error == ERROR_INVALID_SECURITY_DESCR);
        return;
    }
    FUZZ_CHECK(!selected.empty());
    // What the layer hands out is well formed itself, and picking the same
    // parts again changes nothing.
    std::string again;
    FUZZ_CHECK(mvx::SelectDescriptorParts(selected, wanted, again) == NO_ERROR);
    FUZZ_CHECK(again == selected);

    std::unique_ptr<BYTE[]> exact(new BYTE[selected.size()]);
    std::memcpy(exact.get(), selected.data(), selected.size());
    PSECURITY_DESCRIPTOR descriptor = exact.get();
    const DWORD length = GetSecurityDescriptorLength(descriptor);
    FUZZ_CHECK(length > 0 && length <= selected.size());
    const bool withAudit = (wanted & SACL_SECURITY_INFORMATION) != 0;
    CheckReport(descriptor, false, withAudit);
    CheckReport(descriptor, true, withAudit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    CheckParts(raw, kReportedParts);
    CheckParts(raw, kReportedParts | SACL_SECURITY_INFORMATION);
    return 0;
}
