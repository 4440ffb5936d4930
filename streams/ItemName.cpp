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

}  // namespace

int MakeItemName(DWORD kindId, const CStringBase<char>& streamName, CStringBase<char>& itemName) {
    int index = FindStreamKind(kindId);
    if (index < 0)
        return -1;
    itemName = "";
    if (kindId != BACKUP_ALTERNATE_DATA) {
        itemName.Append('{');
        itemName.Append(kStreamKinds[index].shortName);
        itemName.Append('}');
    }
    itemName.Append(EscapeName(streamName));
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
            streamName = UnescapeName(itemName.SubstringFrom(close + 1));
            return kind.id;
        }
    }
    streamName = UnescapeName(itemName);
    return BACKUP_ALTERNATE_DATA;
}
