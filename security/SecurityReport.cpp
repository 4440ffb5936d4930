#include "security/SecurityReport.h"

#include "common/ReplacingOutputFile.h"
#include "common/RawBuffer.h"
#include "security/DescriptorText.h"
#include "security/FileDescriptor.h"
#include "security/SecurityPrivilege.h"

namespace {

constexpr SECURITY_INFORMATION kReportedParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

void WriteAll(CReplacingOutputFile& output, const void* data, DWORD count) {
    DWORD written = 0;
    if (!output.Write(data, count, written) || written != count)
        throw "Can not write SecurityDescriptor";
}

// The bytes the raw descriptor spans, which must lie within the `filled`
// bytes the system wrote: anything past them is no part of the descriptor.
DWORD RawLength(CRawBuffer& descriptor, DWORD filled) {
    const DWORD length = GetSecurityDescriptorLength(descriptor.Data());
    if (length == 0)
        throw "GetSecurityDescriptorLength";
    if (length > filled)
        throw "buffer to small for GetFileSecurity";
    return length;
}

}  // namespace

bool WriteSecurityReport(const StreamEntry& stream, const CStringBase<char>& sourceName,
                         bool isDirectory, const CStringBase<char>& outputName,
                         bool asText) {
    const bool privileged = EnableSecurityPrivilege();
    const SECURITY_INFORMATION requested =
        privileged ? kReportedParts | SACL_SECURITY_INFORMATION : kReportedParts;
    CRawBuffer descriptor;
    const DWORD filled = ReadFileDescriptor(sourceName.Ptr(), requested,
                                            static_cast<uint32_t>(stream.size), descriptor);
    CReplacingOutputFile output;
    if (!output.Create(outputName.Ptr()))
        throw "Can not create output file";
    if (asText) {
        const CStringBase<char> report = DescriptorText(descriptor.Data(), isDirectory, privileged);
        WriteAll(output, report.Ptr(), static_cast<DWORD>(report.Length()));
    } else {
        WriteAll(output, descriptor.Data(), RawLength(descriptor, filled));
    }
    if (!output.Commit())
        throw "Can not write SecurityDescriptor";
    return true;
}
