#include "security/SidText.h"

#include <cstdio>
#include <cstring>

namespace {

// The binary layout is fixed: revision, sub-authority count, a 48-bit
// big-endian identifier authority, then the sub-authorities as 32-bit
// numbers in the machine's order.
constexpr int kAuthorityOffset = 2;
constexpr int kAuthorityBytes = 6;
constexpr int kSubAuthoritiesOffset = 8;

// "-" and the number in decimal: one field of the text form.
void AppendField(CStringBase<char>& text, DWORD value) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "-%lu", static_cast<unsigned long>(value));
    text.Append(digits);
}

// Decimal when it fits in 32 bits, else twelve hexadecimal digits, as
// Windows writes it.
void AppendAuthority(CStringBase<char>& text, const BYTE* authority) {
    if (authority[0] != 0 || authority[1] != 0) {
        text.Append("-0x");
        for (int i = 0; i < kAuthorityBytes; ++i) {
            char digits[4];
            std::snprintf(digits, sizeof(digits), "%02X", static_cast<unsigned>(authority[i]));
            text.Append(digits);
        }
        return;
    }
    DWORD value = 0;
    for (int i = 2; i < kAuthorityBytes; ++i)
        value = (value << 8) | authority[i];
    AppendField(text, value);
}

}  // namespace

CStringBase<char> SidText(PSID sid) {
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    CStringBase<char> text("S");
    AppendField(text, bytes[0]);
    AppendAuthority(text, bytes + kAuthorityOffset);
    const BYTE count = bytes[1];
    for (int i = 0; i < count; ++i) {
        DWORD subAuthority;
        std::memcpy(&subAuthority, bytes + kSubAuthoritiesOffset + 4 * i, sizeof(subAuthority));
        AppendField(text, subAuthority);
    }
    return text;
}
