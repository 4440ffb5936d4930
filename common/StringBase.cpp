#include "common/StringBase.h"

int NextCharIndex(const char* text, int index, int length) {
    int next = static_cast<int>(CharNextA(text + index) - text);
    // CharNextA stays put on a 0, which only a character appended as such
    // puts inside the text; and a lead byte cut off by the end of the text
    // must not carry a caller past the terminator.
    if (next <= index)
        return index + 1;
    return next < length ? next : length;
}
