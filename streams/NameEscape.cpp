#include "streams/NameEscape.h"

#include <algorithm>

namespace {

// "[" opens an escape itself: a stream named "[65]" written as it stands
// would read back as the stream "A".
bool NeedsEscape(unsigned char byte) {
    return (byte >= 1 && byte <= 31) || byte == '\\' || byte == '/' || byte == ':' ||
           byte == '[';
}

// A name that starts with "{" could spell a kind marker ("{Data}x" would read
// back as main data): its first brace is escaped.
bool IsMarkerStart(unsigned char byte, int at) {
    return at == 0 && byte == '{';
}

// Windows drops a trailing dot or space from a file name, so "notes." would be
// extracted over "notes", and a stream named ".." would name the parent
// directory. Escaping the last byte keeps every item name a name of its own.
bool IsDroppedAtEnd(unsigned char byte) {
    return byte == '.' || byte == ' ';
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

bool MustEscape(const char* text, int at, int length) {
    unsigned char byte = static_cast<unsigned char>(text[at]);
    return NeedsEscape(byte) || IsMarkerStart(byte, at) ||
           (at == length - 1 && IsDroppedAtEnd(byte));
}

}  // namespace

// Bytes that stay as they are go over in runs: names are mostly plain.
void AppendEscapedName(CStringBase<char>& escaped, const char* bytes, int length) {
    for (int run = 0, at = 0; run < length; run = ++at) {
        while (at < length && !MustEscape(bytes, at, length))
            ++at;
        escaped.Append(bytes + run, at - run);
        if (at < length)
            AppendEscape(escaped, static_cast<unsigned char>(bytes[at]));
    }
}

CStringBase<char> EscapeName(const CStringBase<char>& text) {
    CStringBase<char> escaped;
    escaped.Reserve(text.Length());
    AppendEscapedName(escaped, text.Ptr(), text.Length());
    return escaped;
}

void AppendUnescapedName(CStringBase<char>& result, const char* bytes, const char* end) {
    while (bytes < end) {
        const char* open = std::find(bytes, end, '[');
        result.Append(bytes, static_cast<int>(open - bytes));
        if (open == end)
            break;
        // Dropping an unclosed tail would quietly name a different stream.
        const char* close = std::find(open + 1, end, ']');
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
