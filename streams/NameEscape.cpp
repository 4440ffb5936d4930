#include "streams/NameEscape.h"

#include <array>
#include <cstring>

namespace {

// Control bytes and the path characters, anywhere in a name. "[" opens an
// escape itself: a stream named "[65]" written as it stands would read back
// as the stream "A". A table, as every byte of every listed name is looked up.
constexpr std::array<bool, 256> kNeedsEscape = [] {
    std::array<bool, 256> table{};
    for (unsigned char byte = 1; byte <= 31; ++byte)
        table[byte] = true;
    for (unsigned char byte : {'\\', '/', ':', '['})
        table[byte] = true;
    return table;
}();

// Windows drops a trailing dot or space from a file name, so "notes." would be
// extracted over "notes", and a stream named ".." would name the parent
// directory. Escaping the last byte keeps every item name a name of its own.
bool IsDroppedAtEnd(unsigned char byte) {
    return byte == '.' || byte == ' ';
}

// Where a name is escaped for where its bytes stand rather than for what they
// are. A name that starts with "{" could spell a kind marker ("{Data}x" would
// read back as main data): its first brace is escaped. The bytes from
// `middleStart` to `middleEnd` are escaped where they must be anywhere.
struct EscapeBounds {
    bool leadingBrace;
    bool droppedLast;
    int middleStart;
    int middleEnd;
};

EscapeBounds BoundsOf(const char* bytes, int length) {
    EscapeBounds bounds;
    bounds.leadingBrace = length > 0 && bytes[0] == '{';
    bounds.middleStart = bounds.leadingBrace ? 1 : 0;
    bounds.droppedLast = length > bounds.middleStart &&
                         IsDroppedAtEnd(static_cast<unsigned char>(bytes[length - 1]));
    bounds.middleEnd = bounds.droppedLast ? length - 1 : length;
    return bounds;
}

// How many characters "[Number]" adds for `byte`, beyond the byte itself.
int EscapeGrowth(unsigned char byte) {
    return byte >= 100 ? 4 : byte >= 10 ? 3 : 2;
}

// The length of the escaped form; wider than int, as each byte may take five.
long long EscapedLength(const char* bytes, int length) {
    const EscapeBounds bounds = BoundsOf(bytes, length);
    long long escaped = length;
    if (bounds.leadingBrace)
        escaped += EscapeGrowth('{');
    for (int at = bounds.middleStart; at < bounds.middleEnd; ++at) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (kNeedsEscape[byte])
            escaped += EscapeGrowth(byte);
    }
    if (bounds.droppedLast)
        escaped += EscapeGrowth(static_cast<unsigned char>(bytes[bounds.middleEnd]));
    return escaped;
}

void AppendEscape(CStringBase<char>& text, unsigned char byte) {
    char escape[6];
    char* at = escape + sizeof(escape);
    *--at = 0;
    *--at = ']';
    do
        *--at = static_cast<char>('0' + byte % 10);
    while ((byte /= 10) != 0);
    *--at = '[';
    text.Append(at);
}

// The byte that the `count` digits of one bracket stand for.
char EscapedByte(const char* digits, int count) {
    if (count < 1 || count > 9)
        throw "Incorrect [Number] in name";
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            throw "Incorrect [Number] in name";
        value = value * 10 + static_cast<unsigned>(digits[i] - '0');
    }
    if (value == 0 || value > 255)
        throw "[Number] in name must be more than 0 and less than 256";
    return static_cast<char>(value);
}

// Where `c` first stands from `bytes` on, or `end`.
const char* Find(const char* bytes, const char* end, char c) {
    const void* found = std::memchr(bytes, c, static_cast<size_t>(end - bytes));
    return found != nullptr ? static_cast<const char*>(found) : end;
}

// The bytes from `at` to `end`, escaped where they must be anywhere in a
// name. Bytes that stay as they are go over in runs: names are mostly plain.
void AppendMiddle(CStringBase<char>& escaped, const char* bytes, int at, int end) {
    int run = at;
    for (; at < end; ++at) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (!kNeedsEscape[byte])
            continue;
        escaped.Append(bytes + run, at - run);
        AppendEscape(escaped, byte);
        run = at + 1;
    }
    escaped.Append(bytes + run, end - run);
}

}  // namespace

void AppendEscapedName(CStringBase<char>& escaped, const char* bytes, int length) {
    const EscapeBounds bounds = BoundsOf(bytes, length);
    if (bounds.leadingBrace)
        AppendEscape(escaped, '{');
    AppendMiddle(escaped, bytes, bounds.middleStart, bounds.middleEnd);
    if (bounds.droppedLast)
        AppendEscape(escaped, static_cast<unsigned char>(bytes[bounds.middleEnd]));
}

void ReserveEscapedName(CStringBase<char>& text, int extra, const char* bytes, int length) {
    const long long room = text.Length() + static_cast<long long>(extra) +
                           EscapedLength(bytes, length);
    // Reserve refuses more than it can hold with the same text as growing does.
    text.Reserve(room > kMaxArrayCapacity ? kMaxArrayCapacity + 1 : static_cast<int>(room));
}

CStringBase<char> EscapeName(const CStringBase<char>& text) {
    CStringBase<char> escaped;
    ReserveEscapedName(escaped, 0, text.Ptr(), text.Length());
    AppendEscapedName(escaped, text.Ptr(), text.Length());
    return escaped;
}

void AppendUnescapedName(CStringBase<char>& result, const char* bytes, const char* end) {
    while (bytes < end) {
        const char* open = Find(bytes, end, '[');
        result.Append(bytes, static_cast<int>(open - bytes));
        if (open == end)
            break;
        // Dropping an unclosed tail would quietly name a different stream.
        const char* close = Find(open + 1, end, ']');
        if (close == end)
            throw "Incorrect [Number] in name";
        result.Append(EscapedByte(open + 1, static_cast<int>(close - open - 1)));
        bytes = close + 1;
    }
}

CStringBase<char> UnescapeName(const CStringBase<char>& text) {
    CStringBase<char> result;
    result.Reserve(text.Length());
    AppendUnescapedName(result, text.Ptr(), text.Ptr() + text.Length());
    return result;
}
