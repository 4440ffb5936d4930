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

// A name that starts with "{" could spell a kind marker ("{Data}x" would read
// back as main data): its first brace is escaped.
void AppendEscapedName(CStringBase<char>& escaped, const char* bytes, int length) {
    int start = 0;
    if (length > 0 && bytes[0] == '{') {
        AppendEscape(escaped, '{');
        start = 1;
    }
    const bool escapeLast =
        length > start && IsDroppedAtEnd(static_cast<unsigned char>(bytes[length - 1]));
    const int end = escapeLast ? length - 1 : length;
    AppendMiddle(escaped, bytes, start, end);
    if (escapeLast)
        AppendEscape(escaped, static_cast<unsigned char>(bytes[end]));
}

CStringBase<char> EscapeName(const CStringBase<char>& text) {
    CStringBase<char> escaped;
    escaped.Reserve(text.Length());
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
