#include "streams/StreamName.h"

#include "common/ErrorNumbers.h"
#include "platform/win32.h"

namespace {

const WCHAR kDataSuffix[] = {':', '$', 'D', 'A', 'T', 'A', 0};

// The name without its leading ":" and without ":$DATA" and what follows.
CWideString BareName(const CWideString& rawName) {
    CWideString name(rawName);
    if (name.CharAt(0) == ':')
        name = name.SubstringFrom(1);
    int suffix = name.Find(CWideString(kDataSuffix));
    if (suffix >= 0)
        name = name.Prefix(suffix);
    return name;
}

}  // namespace

CStringBase<char> MakeStreamName(const CWideString& rawName) {
    CStringBase<char> streamName;
    CWideString name = BareName(rawName);
    if (name.IsEmpty())
        return streamName;
    // Sized by the system first: with UTF-8 as the OEM page one UTF-16 unit
    // may take three bytes, so no buffer sized from the count alone is safe.
    int size = WideCharToMultiByte(CP_OEMCP, 0, name.Ptr(), name.Length(), nullptr, 0, nullptr,
                                   nullptr);
    if (size == 0)
        throw kErrorStreamNameConversion;
    char* buffer = streamName.OpenBuffer(size + 1);
    int converted = WideCharToMultiByte(CP_OEMCP, 0, name.Ptr(), name.Length(), buffer, size,
                                        nullptr, nullptr);
    if (converted == 0)
        throw kErrorStreamNameConversion;
    buffer[converted] = 0;
    streamName.CloseBuffer();
    return streamName;
}
