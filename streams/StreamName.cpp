#include "streams/StreamName.h"

#include "common/ErrorNumbers.h"
#include "platform/win32.h"

namespace {

const WCHAR kDataSuffix[] = {':', '$', 'D', 'A', 'T', 'A', 0};

// The most bytes one UTF-16 unit becomes in a code page: four in GB 18030,
// three in UTF-8, two in the double-byte pages.
const int kLongestUnitBytes = 4;

// NTFS names a stream in at most 255 characters; a buffer for the longest
// form of a name up to this length is small enough to give at once.
const int kShortNameUnits = 1024;

// The units of the name, without its leading ":" and without ":$DATA" and
// what follows.
struct BareName {
    const WCHAR* units;
    int length;
};

BareName BareNameOf(const CWideString& rawName) {
    static const CWideString suffix(kDataSuffix);
    int start = rawName.CharAt(0) == ':' ? 1 : 0;
    int end = rawName.Find(suffix, start);
    if (end < 0)
        end = rawName.Length();
    return {rawName.Ptr() + start, end - start};
}

int Convert(const BareName& name, char* buffer, int size) {
    return WideCharToMultiByte(CP_OEMCP, 0, name.units, name.length, buffer, size, nullptr,
                               nullptr);
}

// The bytes the name takes. A short name gets room for its longest form, so
// one call converts it; a longer one, which only a damaged header announces,
// is sized by the system first rather than given four times its length.
int RoomFor(const BareName& name) {
    if (name.length <= kShortNameUnits)
        return name.length * kLongestUnitBytes;
    int size = Convert(name, nullptr, 0);
    if (size == 0)
        throw kErrorStreamNameConversion;
    return size;
}

}  // namespace

CStringBase<char> MakeStreamName(const CWideString& rawName) {
    CStringBase<char> streamName;
    const BareName name = BareNameOf(rawName);
    if (name.length == 0)
        return streamName;
    const int room = RoomFor(name);
    char* buffer = streamName.OpenBuffer(room + 1);
    int converted = Convert(name, buffer, room);
    if (converted == 0)
        throw kErrorStreamNameConversion;
    buffer[converted] = 0;
    streamName.CloseBuffer();
    return streamName;
}
