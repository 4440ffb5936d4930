// Whether an output name could reach the opened file itself, which an
// extraction must never write over.
#pragma once

#include "common/StringBase.h"

// True when `name` reaches the file `fullPath` names: the same volume and
// file index, whatever the spelling (a link, a link to a folder, another
// case on a disk that ignores case), or when that cannot be told: refusing a
// harmless name costs less than destroying the file. A name that reaches no
// file is not the file.
bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath);
