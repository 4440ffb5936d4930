// The destination directories of an extraction: splitting a path into the
// part that is never created and the directories below it, and creating them.
#pragma once

#include "common/OwningVector.h"
#include "common/StringBase.h"

struct PathParts {
    // Never created: a drive ("D:", "D:\"), the current drive's root ("\"),
    // a network server and share ("\\server\share\"), or nothing.
    CStringBase<char> root;
    // The pieces between separators ("\" or "/"), in path order; two
    // separators in a row or one at the end give an empty piece.
    COwningVector<CStringBase<char>> components;
};

void SplitPath(const CStringBase<char>& path, PathParts& parts);

// Creates each directory the path names, from the root down, stopping at the
// first empty component. True when every directory exists afterwards and the
// path had no empty component but at its end.
bool CreateDirectoryTree(const CStringBase<char>& path);

// Whether the last character (not a trail byte) is a backslash.
bool EndsWithBackslash(const CStringBase<char>& path);

// Adds the backslash that makes a non-empty path name a directory.
void AppendBackslash(CStringBase<char>& path);
