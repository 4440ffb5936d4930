// Whether an output name could be the opened file itself, which an
// extraction must never write over.
#pragma once

#include "common/StringBase.h"

// True when the full path of `name` equals `fullPath` regardless of ASCII
// case, as the file system compares names, or when `name` has no full path
// to compare: refusing a harmless name costs less than destroying the file.
bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath);
