// Item names from both sides: any stream name (bytes 1 to 255) must come
// back from its item name unchanged, of every kind, and never as a name that
// leads out of a directory; any file name copied into the panel either parses
// or is refused with one of the texts the user is shown, and what it parses to
// names itself again.
#include <cstdint>
#include <cstring>

#include "common/StringBase.h"
#include "fuzz/FuzzCheck.h"
#include "streams/ItemName.h"
#include "streams/NameEscape.h"
#include "streams/StreamKind.h"

namespace {

const DWORD kAlternateData = 4;

// Item names and stream names are C strings: a NUL ends them.
CStringBase<char> TextOf(const uint8_t* data, size_t size) {
    const void* end = std::memchr(data, 0, size);
    const size_t length = end != nullptr ? static_cast<const uint8_t*>(end) - data : size;
    CStringBase<char> text;
    text.Append(reinterpret_cast<const char*>(data), static_cast<int>(length));
    return text;
}

bool IsRefusal(const char* text) {
    return std::strcmp(text, "empty name") == 0 ||
           std::strcmp(text, "Incorrect [Number] in name") == 0 ||
           std::strcmp(text, "[Number] in name must be more than 0 and less than 256") == 0;
}

// The escaped form is a file name of its own: no control byte, no separator,
// no drive colon.
void CheckEscaped(const CStringBase<char>& escaped) {
    for (int i = 0; i < escaped.Length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(escaped.CharAt(i));
        FUZZ_CHECK(c >= 32 && c != '\\' && c != '/' && c != ':');
    }
}

// Each input is tried as a stream of one kind, picked from its bytes so that
// a saved input replays the same way; over millions of inputs every kind
// sees every shape of name.
int KindRowOf(const uint8_t* data, size_t size) {
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += data[i];
    return static_cast<int>(sum % kStreamKindCount);
}

void CheckStreamNameRoundTrip(const CStringBase<char>& streamName, int row) {
    const CStringBase<char> escaped = EscapeName(streamName);
    CheckEscaped(escaped);
    FUZZ_CHECK(UnescapeName(escaped) == streamName);
    CStringBase<char> itemName;
    FUZZ_CHECK(MakeItemName(kStreamKinds[row].id, streamName, itemName) == row);
    // An unnamed alternate stream has no item of its own to parse.
    if (itemName.Length() != 0) {
        CStringBase<char> parsed;
        FUZZ_CHECK(ParseItemName(itemName, parsed) == kStreamKinds[row].id);
        FUZZ_CHECK(parsed == streamName);
    }
    CStringBase<char> unknown("unchanged");
    FUZZ_CHECK(MakeItemName(kStreamKindCount + 1, streamName, unknown) == -1);
    FUZZ_CHECK(unknown == "unchanged");
}

// A name typed by hand may spell a byte in several ways ("[65]", "[065]");
// what it parses to has one spelling, which parses back the same.
void CheckParsedNameIsStable(const CStringBase<char>& itemName) {
    CStringBase<char> streamName;
    DWORD kind = 0;
    try {
        kind = ParseItemName(itemName, streamName);
    } catch (const char* text) {
        FUZZ_CHECK(IsRefusal(text));
        return;
    }
    FUZZ_CHECK(FindStreamKind(kind) >= 0);
    // "{Alternative_Data}" names an alternate stream without a name; the
    // writer refuses it, as it has no item name of its own to come back as.
    if (kind == kAlternateData && streamName.Length() == 0)
        return;
    CStringBase<char> again;
    FUZZ_CHECK(MakeItemName(kind, streamName, again) == FindStreamKind(kind));
    CStringBase<char> reparsed;
    FUZZ_CHECK(ParseItemName(again, reparsed) == kind);
    FUZZ_CHECK(reparsed == streamName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CStringBase<char> text = TextOf(data, size);
    CheckStreamNameRoundTrip(text, KindRowOf(data, size));
    CheckParsedNameIsStable(text);
    return 0;
}
