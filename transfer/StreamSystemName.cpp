#include "transfer/StreamSystemName.h"

#include "platform/win32.h"

namespace {

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

// Trail bytes of double-byte characters are never a dot or a space, so the
// last byte tells.
bool EndsInWhatTheSystemDrops(const CStringBase<char>& name) {
    char last = name.CharAt(name.Length() - 1);
    return last == '.' || last == ' ';
}

bool ReachesTheSystemUnchanged(const StreamEntry& entry) {
    const CStringBase<char>& name = entry.streamName;
    CWideString wide;
    if (name.IsEmpty() || EndsInWhatTheSystemDrops(name) || !ReadAsTheSystemDoes(name, wide))
        return false;
    CWideString delivered(kStreamMark);
    delivered.Append(wide);
    delivered.Append(kDataSuffix);
    return delivered == entry.rawName;
}

}  // namespace

CStringBase<char> StreamSystemName(const CStringBase<char>& filePath, const StreamEntry& entry) {
    if (!ReachesTheSystemUnchanged(entry))
        throw "The stream name cannot be passed to the system unchanged";
    CStringBase<char> name(filePath);
    name.Append(':');
    name.Append(entry.streamName);
    return name;
}
