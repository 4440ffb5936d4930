// MultiByteToWideChar and WideCharToMultiByte.
#include "platform/posix/text/CodePage.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/text/UnicodeEncoding.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace mvx {
namespace {

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

bool BadCounts(const void* in, int inCount, const void* out, int outCount) {
    return !in || inCount == 0 || inCount < -1 || outCount < 0 || (!out && outCount > 0);
}

// The caller's side of the protocol: a zero-sized buffer asks for the size; a
// buffer too small gets nothing. `convert(emit)` hands each converted
// character to `emit` as units and returns false, the error set, when the
// text cannot be converted; it runs once to count and once more to write in
// place, so no copy of the text is ever built.
template <class Char, class Convert>
int Deliver(Convert convert, Char* out, int outCount) {
    std::size_t size = 0;
    if (!convert([&size](const Char*, std::size_t units) { size += units; })) return 0;
    if (size > static_cast<std::size_t>(INT_MAX)) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (outCount == 0) return static_cast<int>(size);
    if (size > static_cast<std::size_t>(outCount)) return Fail(ERROR_INSUFFICIENT_BUFFER);
    Char* at = out;
    convert([&at](const Char* units, std::size_t count) {
        at = std::copy(units, units + count, at);
    });
    return static_cast<int>(size);
}

int ConvertToWide(UINT codePage, DWORD flags, LPCSTR in, int inCount, LPWSTR out,
                  int outCount) {
    if (BadCounts(in, inCount, out, outCount)) return Fail(ERROR_INVALID_PARAMETER);
    const CodePage* page = LookUpCodePage(codePage);
    if (!page) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD allowed =
        page->Number() == CP_UTF8 ? MB_ERR_INVALID_CHARS : MB_ERR_INVALID_CHARS | MB_PRECOMPOSED;
    if (flags & ~allowed) return Fail(ERROR_INVALID_FLAGS);
    const std::size_t count = inCount == -1 ? std::strlen(in) + 1 : inCount;
    auto convert = [&](auto emit) {
        std::u16string units;  // one character: held in place, never allocated
        for (std::size_t i = 0; i < count;) {
            char32_t character = kInvalidCharacter;
            i += page->Decode(in + i, count - i, character);
            if (character == kInvalidCharacter) {
                if (flags & MB_ERR_INVALID_CHARS) {
                    Fail(ERROR_NO_UNICODE_TRANSLATION);
                    return false;
                }
                character = kReplacementCharacter;
            }
            units.clear();
            AppendUtf16(character, units);
            emit(units.data(), units.size());
        }
        return true;
    };
    return Deliver(convert, out, outCount);
}

// A double-byte default character is taken whole.
std::string DefaultCharacter(const CodePage& page, LPCSTR given) {
    if (!given) return "?";
    const bool pair = page.IsLeadByte(static_cast<unsigned char>(given[0])) && given[1] != '\0';
    return std::string(given, pair ? 2 : 1);
}

int ConvertToMultiByte(UINT codePage, DWORD flags, LPCWSTR in, int inCount, LPSTR out,
                       int outCount, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (BadCounts(in, inCount, out, outCount)) return Fail(ERROR_INVALID_PARAMETER);
    const CodePage* page = LookUpCodePage(codePage);
    if (!page) return Fail(ERROR_INVALID_PARAMETER);
    const bool utf8 = page->Number() == CP_UTF8;
    if (flags & ~(utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS))
        return Fail(ERROR_INVALID_FLAGS);
    if (utf8 && (defaultChar || usedDefaultChar)) return Fail(ERROR_INVALID_PARAMETER);
    const std::size_t count =
        inCount == -1 ? std::char_traits<WCHAR>::length(in) + 1 : inCount;
    const std::string fallback = DefaultCharacter(*page, defaultChar);
    bool usedFallback = false;
    auto convert = [&](auto emit) {
        std::string bytes;  // one character: held in place, never allocated
        for (std::size_t i = 0; i < count;) {
            // ASCII is itself in UTF-8, the page nearly every name meets.
            if (utf8 && in[i] < 0x80) {
                const char byte = static_cast<char>(in[i++]);
                emit(&byte, 1);
                continue;
            }
            char32_t character = kInvalidCharacter;
            i += DecodeUtf16(in + i, count - i, character);
            if (character == kInvalidCharacter && utf8) {
                if (flags & WC_ERR_INVALID_CHARS) {
                    Fail(ERROR_NO_UNICODE_TRANSLATION);
                    return false;
                }
                character = kReplacementCharacter;
            }
            bytes.clear();
            if (character == kInvalidCharacter || !page->Encode(character, bytes)) {
                bytes = fallback;
                usedFallback = true;
            }
            emit(bytes.data(), bytes.size());
        }
        return true;
    };
    const int written = Deliver(convert, out, outCount);
    if (written && usedDefaultChar) *usedDefaultChar = usedFallback;
    return written;
}

}  // namespace
}  // namespace mvx

// Only allocation can throw below; it must not cross into the caller.
extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte,
                                          int multiByteCount, LPWSTR wide, int wideCount) {
    if (mvx::FaultHit("MultiByteToWideChar")) return 0;
    try {
        return mvx::ConvertToWide(codePage, flags, multiByte, multiByteCount, wide, wideCount);
    } catch (...) {
        return mvx::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide,
                                          int wideCount, LPSTR multiByte, int multiByteCount,
                                          LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (mvx::FaultHit("WideCharToMultiByte")) return 0;
    try {
        return mvx::ConvertToMultiByte(codePage, flags, wide, wideCount, multiByte,
                                       multiByteCount, defaultChar, usedDefaultChar);
    } catch (...) {
        return mvx::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}
