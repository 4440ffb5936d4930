#include "platform/posix/registry/RegistryNames.h"

#include "platform/posix/text/UnicodeEncoding.h"

namespace mvx {
namespace {

// Lower case letters in runs where upper and lower case alternate; `upperIsEven`
// tells which of each pair is the capital.
struct AlternatingRun {
    char32_t first;
    char32_t last;
    bool upperIsEven;
};

constexpr AlternatingRun kLatinExtendedA[] = {
    {0x100, 0x12F, true}, {0x132, 0x137, true},  {0x139, 0x148, false},
    {0x14A, 0x177, true}, {0x179, 0x17E, false},
};

char32_t FoldAlternating(char32_t c) {
    for (const AlternatingRun& run : kLatinExtendedA) {
        if (c < run.first || c > run.last) continue;
        bool even = c % 2 == 0;
        return even == run.upperIsEven ? c : c - 1;
    }
    return c;
}

char32_t FoldGreek(char32_t c) {
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c >= 0x3CD && c <= 0x3CE) return c - 0x3F;
    return c;
}

// The capital of a letter, for the scripts that the layer's code pages carry.
char32_t FoldCase(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) return FoldAlternating(c);
    if (c >= 0x370 && c <= 0x3FF) return FoldGreek(c);
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
    return c;
}

// Length as Windows counts it: in UTF-16 units.
std::size_t NameLength(const std::string& name) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < name.size();) {
        char32_t c;
        at += DecodeUtf8(name.data() + at, name.size() - at, c);
        length += c != kInvalidCharacter && c >= 0x10000 ? 2 : 1;
    }
    return length;
}

bool HoldsLineBreak(const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
}

LONG CheckKeyName(const std::string& name) {
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (NameLength(name) > kMaxKeyNameLength || HoldsLineBreak(name))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

}  // namespace

bool IsRegistryText(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t c;
        at += DecodeUtf8(text.data() + at, text.size() - at, c);
        if (c == kInvalidCharacter || c == 0) return false;
    }
    return true;
}

bool RegistryNamesEqual(const std::string& a, const std::string& b) {
    std::size_t atA = 0;
    std::size_t atB = 0;
    while (atA < a.size() && atB < b.size()) {
        char32_t ca;
        char32_t cb;
        std::size_t spanA = DecodeUtf8(a.data() + atA, a.size() - atA, ca);
        std::size_t spanB = DecodeUtf8(b.data() + atB, b.size() - atB, cb);
        if (ca == kInvalidCharacter || cb == kInvalidCharacter) {
            // Bytes that are no character match only themselves.
            if (a.compare(atA, spanA, b, atB, spanB) != 0) return false;
        } else if (FoldCase(ca) != FoldCase(cb)) {
            return false;
        }
        atA += spanA;
        atB += spanB;
    }
    return atA == a.size() && atB == b.size();
}

std::string FoldRegistryName(const std::string& name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        char32_t c;
        const std::size_t span = DecodeUtf8(name.data() + at, name.size() - at, c);
        if (c == kInvalidCharacter)
            folded.append(name, at, span);
        else
            AppendUtf8(FoldCase(c), folded);
        at += span;
    }
    return folded;
}

LONG CheckValueName(const std::string& name) {
    if (NameLength(name) > kMaxValueNameLength || HoldsLineBreak(name))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

LONG AppendKeyPath(const std::string& path, std::vector<std::string>& names) {
    if (path.empty()) return ERROR_SUCCESS;
    if (path.front() == '\\') return ERROR_BAD_PATHNAME;
    std::size_t end = path.back() == '\\' ? path.size() - 1 : path.size();
    std::vector<std::string> added;
    for (std::size_t start = 0; start <= end;) {
        std::size_t stop = path.find('\\', start);
        if (stop == std::string::npos || stop > end) stop = end;
        std::string name = path.substr(start, stop - start);
        LONG code = CheckKeyName(name);
        if (code != ERROR_SUCCESS) return code;
        added.push_back(std::move(name));
        start = stop + 1;
    }
    if (names.size() + added.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    names.insert(names.end(), added.begin(), added.end());
    return ERROR_SUCCESS;
}

}  // namespace mvx
