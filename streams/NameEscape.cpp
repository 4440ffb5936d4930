#include "streams/NameEscape.h"

#include <cstdio>

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
    char escape[8];
    std::snprintf(escape, sizeof(escape), "[%u]", static_cast<unsigned>(byte));
    text.Append(escape);
}

// The byte that the digits of one bracket stand for.
char EscapedByte(const CStringBase<char>& digits) {
    if (digits.Length() < 1 || digits.Length() > 9)
        throw "Incorrect [Number] in name";
    unsigned value = 0;
    for (int i = 0; i < digits.Length(); ++i) {
        char digit = digits.CharAt(i);
        if (digit < '0' || digit > '9')
            throw "Incorrect [Number] in name";
        value = value * 10 + static_cast<unsigned>(digit - '0');
    }
    if (value == 0 || value > 255)
        throw "[Number] in name must be more than 0 and less than 256";
    return static_cast<char>(value);
}

}  // namespace

CStringBase<char> EscapeName(const CStringBase<char>& text) {
    CStringBase<char> escaped;
    for (int i = 0; i < text.Length(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text.CharAt(i));
        bool last = i == text.Length() - 1;
        if (NeedsEscape(byte) || IsMarkerStart(byte, i) || (last && IsDroppedAtEnd(byte)))
            AppendEscape(escaped, byte);
        else
            escaped.Append(static_cast<char>(byte));
    }
    return escaped;
}

CStringBase<char> UnescapeName(const CStringBase<char>& text) {
    CStringBase<char> result;
    CStringBase<char> digits;
    bool inside = false;
    for (int i = 0; i < text.Length(); ++i) {
        char c = text.CharAt(i);
        if (!inside && c == '[') {
            digits = "";
            inside = true;
        } else if (!inside) {
            result.Append(c);
        } else if (c == ']') {
            result.Append(EscapedByte(digits));
            inside = false;
        } else {
            digits.Append(c);
        }
    }
    // Dropping an unclosed tail would quietly name a different stream.
    if (inside)
        throw "Incorrect [Number] in name";
    return result;
}
