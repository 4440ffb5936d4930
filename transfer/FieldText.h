// Text out of a fixed-size field of a host record. The host may fill such a
// field to its last byte without a terminator; the text then ends there.
#pragma once

#include <cstddef>

#include "common/StringBase.h"

CStringBase<char> FieldText(const char* field, size_t size);

template <size_t N>
CStringBase<char> FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}
