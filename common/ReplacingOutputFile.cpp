#include "common/ReplacingOutputFile.h"

namespace {

// Names taken by others, a temporary of another run among them, are passed
// over this often.
constexpr int kNameAttempts = 100;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

CStringBase<char> TemporaryName(const char* outputName, int attempt) {
    CStringBase<char> name(outputName);
    name.Append(".~morvex-");
    name.Append(static_cast<char>('0' + attempt / 10));
    name.Append(static_cast<char>('0' + attempt % 10));
    name.Append(".tmp");
    return name;
}

}  // namespace

CReplacingOutputFile::~CReplacingOutputFile() {
    Discard();
}

// Asks first without access to the data, so that no file that is to be
// replaced is ever opened for writing; a link at the name is not followed.
bool CReplacingOutputFile::OpenPipeOrDevice(const char* name) {
    CFileHandle probe;
    if (!probe.Open(name, 0, kShareAll, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT) ||
        GetFileType(probe.Handle()) == FILE_TYPE_DISK)
        return false;
    probe.Close();
    writesInPlace = Open(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT);
    return writesInPlace;
}

bool CReplacingOutputFile::Create(const char* name) {
    Discard();
    outputName = CStringBase<char>(name);
    if (OpenPipeOrDevice(name))
        return true;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        CStringBase<char> candidate = TemporaryName(name, attempt);
        if (Open(candidate.Ptr(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW,
                 FILE_ATTRIBUTE_TEMPORARY, templateFile)) {
            temporaryName = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool CReplacingOutputFile::Commit() {
    if (writesInPlace)
        return Close();
    // Data the system still holds for the file may be lost in the close.
    if (temporaryName.IsEmpty() || !Close())
        return false;
    const bool placed =
        ReplaceFileA(outputName.Ptr(), temporaryName.Ptr(), nullptr, 0, nullptr, nullptr) ||
        (GetLastError() == ERROR_FILE_NOT_FOUND &&
         MoveFileExA(temporaryName.Ptr(), outputName.Ptr(), 0));
    if (placed)
        temporaryName = CStringBase<char>();
    return placed;
}

void CReplacingOutputFile::Discard() {
    writesInPlace = false;
    if (temporaryName.IsEmpty())
        return;
    Close();
    DeleteFileA(temporaryName.Ptr());
    temporaryName = CStringBase<char>();
}
