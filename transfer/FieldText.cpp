#include "transfer/FieldText.h"

#include <cstring>

CStringBase<char> FieldText(const char* field, size_t size) {
    const size_t length = strnlen(field, size);
    CStringBase<char> text;
    text.Reserve(static_cast<int>(length));
    for (size_t i = 0; i < length; ++i)
        text.Append(field[i]);
    return text;
}
