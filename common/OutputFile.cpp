#include "common/OutputFile.h"

bool COutputFile::OpenForWriting(const char* name, DWORD shareMode, DWORD disposition,
                                 DWORD flagsAndAttributes) {
    return Open(name, GENERIC_WRITE, shareMode, disposition, flagsAndAttributes);
}

bool COutputFile::Create(const char* name) {
    return Open(name, GENERIC_WRITE, FILE_SHARE_READ, creationDisposition, FILE_ATTRIBUTE_NORMAL,
                templateFile);
}

bool COutputFile::Write(const void* buffer, DWORD count, DWORD& written) {
    return WriteFile(Handle(), buffer, count, &written, nullptr) != FALSE;
}
