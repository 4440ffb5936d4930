#include "streams/ItemName.h"

#include <cstring>

#include "streams/NameEscape.h"
#include "streams/StreamKind.h"

namespace {

// Whether `itemName` holds the marker of `kind` after its "{"; a name that
// spells the short name without the closing brace holds no marker at all.
bool StartsWithShortName(const CStringBase<char>& itemName, const StreamKind& kind) {
    int length = static_cast<int>(std::strlen(kind.shortName));
    return itemName.Length() > length &&
           std::memcmp(itemName.Ptr() + 1, kind.shortName, length) == 0;
}

// The stream name spelled from `start` on; `streamName` changes only when the
// whole of it reads.
void Unescape(const CStringBase<char>& itemName, int start, CStringBase<char>& streamName) {
    CStringBase<char> parsed;
    parsed.Reserve(itemName.Length() - start);
    AppendUnescapedName(parsed, itemName.Ptr() + start, itemName.Ptr() + itemName.Length());
    streamName.Swap(parsed);
}

}  // namespace

int MakeItemName(DWORD kindId, const CStringBase<char>& streamName, CStringBase<char>& itemName) {
    int index = FindStreamKind(kindId);
    if (index < 0)
        return -1;
    const bool marked = kindId != BACKUP_ALTERNATE_DATA;
    itemName = "";
    ReserveEscapedName(
        itemName, marked ? static_cast<int>(std::strlen(kStreamKinds[index].shortName)) + 2 : 0,
        streamName.Ptr(), streamName.Length());
    if (marked) {
        itemName.Append('{');
        itemName.Append(kStreamKinds[index].shortName);
        itemName.Append('}');
    }
    AppendEscapedName(itemName, streamName.Ptr(), streamName.Length());
    return index;
}

DWORD ParseItemName(const CStringBase<char>& itemName, CStringBase<char>& streamName) {
    if (itemName.IsEmpty())
        throw "empty name";
    if (itemName.Length() > 2 && itemName.CharAt(0) == '{') {
        for (const StreamKind& kind : kStreamKinds) {
            if (!StartsWithShortName(itemName, kind))
                continue;
            int close = static_cast<int>(std::strlen(kind.shortName)) + 1;
            if (itemName.CharAt(close) != '}')
                break;
            Unescape(itemName, close + 1, streamName);
            return kind.id;
        }
    }
    Unescape(itemName, 0, streamName);
    return BACKUP_ALTERNATE_DATA;
}
