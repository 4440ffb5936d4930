#include "common/InputFile.h"

bool CInputFile::OpenForReading(const char* name, DWORD shareMode, DWORD disposition,
                                DWORD flagsAndAttributes) {
    return Open(name, GENERIC_READ, shareMode, disposition, flagsAndAttributes);
}

bool CInputFile::OpenForReading(const char* name) {
    return OpenForReading(name, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

bool CInputFile::Read(void* buffer, DWORD count, DWORD& bytesRead) {
    return ReadFile(Handle(), buffer, count, &bytesRead, nullptr) != FALSE;
}
