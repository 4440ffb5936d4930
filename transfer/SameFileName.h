// Whether an output name reaches a file an extraction must not write over:
// the opened file itself, or an output the same extraction wrote already
// (two item names that the destination folds into one, as a folder that
// ignores letter case does).
#pragma once

#include "common/StringBase.h"
#include "common/Vector.h"
#include "platform/win32.h"

// Which file a name reaches, as the system tells files apart.
struct FileKey {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};

// The key of the file `name` reaches. False with the last error set when it
// reaches none or the system cannot say which (ERROR_FILE_NOT_FOUND and
// ERROR_PATH_NOT_FOUND for none).
bool KeyOfFile(const char* name, FileKey& key);

bool SameFileKey(const FileKey& one, const FileKey& other);

// True when `name` reaches the file `fullPath` names: the same volume and
// file index, whatever the spelling (a link, a link to a folder, another
// case on a disk that ignores case), or when that cannot be told: refusing a
// harmless name costs less than destroying the file. A name that reaches no
// file is not the file.
bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath);

// True when `name` reaches one of the files `written` holds the keys of.
bool NamesWrittenFile(const CStringBase<char>& name, const CVector<FileKey>& written);
