#include "transfer/DirectoryTree.h"

#include "platform/win32.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The index after the separator that ends the piece starting at `start`, or
// the path's length when no separator follows.
int AfterNextSeparator(const CStringBase<char>& path, int start) {
    const int length = path.Length();
    for (int i = 0; i < length; i = NextCharIndex(path.Ptr(), i, length)) {
        if (i >= start && IsSeparator(path.CharAt(i)))
            return i + 1;
    }
    return length;
}

// Server and share are never created.
int NetworkRootLength(const CStringBase<char>& path) {
    return AfterNextSeparator(path, AfterNextSeparator(path, 2));
}

int RootLength(const CStringBase<char>& path) {
    if (path.Length() > 2 && path.CharAt(0) == '\\' && path.CharAt(1) == '\\')
        return NetworkRootLength(path);
    int colon = path.FindChar(':');
    // Without the separator after it, the drive's root would read as an
    // empty component that stops the creation before it begins.
    int root = colon >= 0 ? colon + 1 : 0;
    return IsSeparator(path.CharAt(root)) ? root + 1 : root;
}

}  // namespace

void SplitPath(const CStringBase<char>& path, PathParts& parts) {
    const int rootLength = RootLength(path);
    parts.root = path.Prefix(rootLength);
    parts.components.Clear();
    if (rootLength == path.Length())
        return;
    for (int start = rootLength;;) {
        int next = AfterNextSeparator(path, start);
        bool cut = next > start && IsSeparator(path.CharAt(next - 1));
        parts.components.AddCopy(path.Substring(start, next - start - (cut ? 1 : 0)));
        if (!cut)
            return;
        start = next;
    }
}

bool CreateDirectoryTree(const CStringBase<char>& path) {
    PathParts parts;
    SplitPath(path, parts);
    CStringBase<char> current(parts.root);
    const int count = parts.components.Size();
    for (int i = 0; i < count; ++i) {
        const CStringBase<char>& component = *parts.components[i];
        if (component.IsEmpty())
            return i == count - 1;
        current.Append(component);
        if (!CreateDirectoryA(current.Ptr(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        current.Append('\\');
    }
    return true;
}

bool EndsWithBackslash(const CStringBase<char>& path) {
    return !path.IsEmpty() && path.FindLastChar('\\') == path.Length() - 1;
}

void AppendBackslash(CStringBase<char>& path) {
    if (!path.IsEmpty() && !EndsWithBackslash(path))
        path.Append('\\');
}
