#include "transfer/HostTextFormat.h"

#include <cstdio>
#include <cstring>

#include "common/StringBase.h"

namespace {

// A buffer filled with whole characters of the ANSI code page; once one does
// not fit, nothing more is taken, so a cut text never resumes after a gap.
class BoundedText {
public:
    BoundedText(char* buffer, int size) : buffer(buffer), room(size - 1) { buffer[0] = 0; }

    void Append(const char* text, int length) {
        for (int i = 0; i < length && !full;) {
            int next = NextCharIndex(text, i, length);
            if (next - i > room - used) {
                full = true;
                break;
            }
            std::memcpy(buffer + used, text + i, next - i);
            used += next - i;
            i = next;
        }
        buffer[used] = 0;
    }

private:
    char* buffer;
    int room;
    int used = 0;
    bool full = false;
};

void FormatWithValue(char* buffer, int size, const char* format, char conversion,
                     const char* value) {
    if (size <= 0)
        return;
    BoundedText text(buffer, size);
    bool filled = false;
    const int length = static_cast<int>(std::strlen(format));
    for (int i = 0; i < length;) {
        if (format[i] == '%' && i + 1 < length) {
            if (format[i + 1] == '%') {
                text.Append("%", 1);
                i += 2;
                continue;
            }
            if (format[i + 1] == conversion && !filled) {
                text.Append(value, static_cast<int>(std::strlen(value)));
                filled = true;
                i += 2;
                continue;
            }
        }
        int next = NextCharIndex(format, i, length);
        text.Append(format + i, next - i);
        i = next;
    }
}

}  // namespace

void FormatWithName(char* buffer, int size, const char* format, const char* name) {
    FormatWithValue(buffer, size, format, 's', name);
}

void FormatWithNumber(char* buffer, int size, const char* format, int number) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%d", number);
    FormatWithValue(buffer, size, format, 'd', digits);
}
