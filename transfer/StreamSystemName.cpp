#include "transfer/StreamSystemName.h"

#include "common/FullPath.h"
#include "platform/win32.h"

namespace {

const char kNotUnchanged[] = "The stream name cannot be passed to the system unchanged";
const char kTooLong[] = "The filename or extension is too long";

const WCHAR kStreamMark[] = {':', 0};
const WCHAR kDataSuffix[] = {':', '$', 'D', 'A', 'T', 'A', 0};

// The stream name as the system reads it; false when the system would refuse it.
bool ReadAsTheSystemDoes(const CStringBase<char>& name, CWideString& wide) {
    int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.Ptr(), name.Length(),
                                    nullptr, 0);
    if (count == 0)
        return false;
    WCHAR* buffer = wide.OpenBuffer(count + 1);
    int converted = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.Ptr(), name.Length(),
                                        buffer, count);
    buffer[converted] = 0;
    wide.CloseBuffer();
    return converted == count;
}

bool ReachesTheSystemUnchanged(const StreamEntry& entry) {
    const CStringBase<char>& name = entry.streamName;
    CWideString wide;
    if (name.IsEmpty() || !ReadAsTheSystemDoes(name, wide))
        return false;
    CWideString delivered(kStreamMark);
    delivered.Append(wide);
    delivered.Append(kDataSuffix);
    return delivered == entry.rawName;
}

}  // namespace

CStringBase<char> StreamSystemName(const CStringBase<char>& filePath, const StreamEntry& entry) {
    if (!ReachesTheSystemUnchanged(entry))
        throw kNotUnchanged;
    return StreamSystemName(filePath, entry.streamName);
}

CStringBase<char> StreamSystemName(const CStringBase<char>& filePath,
                                   const CStringBase<char>& streamName) {
    if (streamName.IsEmpty())
        throw kNotUnchanged;
    CStringBase<char> name(filePath);
    name.Append(':');
    name.Append(streamName);
    // Where the system makes a name absolute before it looks for the colon,
    // separators, "..", trailing dots and blanks in a stream name would lead
    // it to another stream or file; where it keeps the stream as it stands,
    // its answer is the name itself.
    CStringBase<char> fullName;
    if (!GetWholeFullPath(name.Ptr(), fullName)) {
        if (GetLastError() == ERROR_FILENAME_EXCED_RANGE)
            throw kTooLong;
        throw kNotUnchanged;
    }
    if (fullName != name)
        throw kNotUnchanged;
    return name;
}
