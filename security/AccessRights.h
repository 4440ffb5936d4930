// The words of the security report for the parts of one access entry: the
// rights of its mask, its access mode and its inheritance flags, each from a
// fixed table.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

struct NameTableRow {
    DWORD mask;
    const char* name;
};

// For each row, in table order, whose mask shares a bit with `flags`: one
// space and the row's name. Empty when no row matches.
CStringBase<char> FlagNames(const NameTableRow* table, int rowCount, DWORD flags);

// The object-specific rights (the low 16 bits of a mask) of a file or of a
// directory, where the same bits mean other things.
CStringBase<char> FileRightsText(DWORD bits);
CStringBase<char> DirectoryRightsText(DWORD bits);

// "NO_INHERITANCE" for 0, else the names of the inheritance flags.
CStringBase<char> InheritanceText(DWORD flags);

// The name of an access mode, "Unknown" for a value without one.
const char* AccessModeName(DWORD mode);

const char* BoolText(bool value);

// Three lines: the access-system-security bit, the generic rights and the
// standard rights of `mask`, each ending with CR LF.
CStringBase<char> RightsText(DWORD mask);
