#include "common/ReplacingOutputFile.h"

namespace {

// Names taken by others, a temporary of another run among them, are passed
// over this often.
constexpr int kNameAttempts = 100;

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

bool CReplacingOutputFile::Create(const char* name) {
    Discard();
    outputName = CStringBase<char>(name);
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
    if (temporaryName.IsEmpty())
        return;
    Close();
    DeleteFileA(temporaryName.Ptr());
    temporaryName = CStringBase<char>();
}
