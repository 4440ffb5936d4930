#include "transfer/SameFileName.h"

#include "common/FullPath.h"

namespace {

char FoldAsciiCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringAsciiCase(const CStringBase<char>& a, const CStringBase<char>& b) {
    if (a.Length() != b.Length())
        return false;
    for (int i = 0; i < a.Length(); ++i) {
        if (FoldAsciiCase(a.CharAt(i)) != FoldAsciiCase(b.CharAt(i)))
            return false;
    }
    return true;
}

}  // namespace

bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath) {
    CStringBase<char> fullName;
    return !GetFullPath(name.Ptr(), fullName) || EqualIgnoringAsciiCase(fullName, fullPath);
}
