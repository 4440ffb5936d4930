#include "transfer/CopyFileData.h"

#include "common/InputFile.h"
#include "common/ReplacingOutputFile.h"
#include "common/RawBuffer.h"

namespace {

constexpr DWORD kChunkSize = 512 * 1024;

// What tells a file written meanwhile: its size and its last write.
struct Version {
    DWORD sizeHigh = 0, sizeLow = 0;
    FILETIME written = {};
};

bool VersionOf(const CInputFile& file, Version& version) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.Handle(), &information))
        return false;
    version.sizeHigh = information.nFileSizeHigh;
    version.sizeLow = information.nFileSizeLow;
    version.written = information.ftLastWriteTime;
    return true;
}

bool SameVersion(const Version& one, const Version& other) {
    return one.sizeHigh == other.sizeHigh && one.sizeLow == other.sizeLow &&
           one.written.dwLowDateTime == other.written.dwLowDateTime &&
           one.written.dwHighDateTime == other.written.dwHighDateTime;
}

// A file that another program wrote while it was read would give a copy of
// neither its old contents nor its new: nothing past the length read, and the
// same size and last write as when the copy began.
void CheckUnchanged(CInputFile& source, const Version& atStart, void* buffer) {
    DWORD past = 0;
    Version atEnd;
    if (!source.Read(buffer, 1, past) || !VersionOf(source, atEnd))
        throw "File reading error";
    if (past != 0 || !SameVersion(atStart, atEnd))
        throw "The file changed while it was copied";
}

}  // namespace

int CopyFileData(const CStringBase<char>& sourcePath, const CStringBase<char>& outputPath) {
    CRawBuffer buffer;
    buffer.Grow(kChunkSize);
    CInputFile source;
    if (!source.OpenForReading(sourcePath.Ptr()))
        throw "Can not open input file";
    CReplacingOutputFile output;
    output.templateFile = source.Handle();
    if (!output.Create(outputPath.Ptr()))
        throw "Can not open output file";
    uint64_t remaining = 0;
    Version atStart;
    if (!source.GetLength(remaining) || !VersionOf(source, atStart))
        throw "GetLength error";
    while (remaining > 0) {
        DWORD chunk = remaining < kChunkSize ? static_cast<DWORD>(remaining) : kChunkSize;
        DWORD done = 0;
        if (!source.Read(buffer.Data(), chunk, done))
            throw "File reading error";
        if (done != chunk) {
            // Cut short: the file shrank while it was read.
            SetLastError(ERROR_HANDLE_EOF);
            throw "File reading error";
        }
        if (!output.Write(buffer.Data(), chunk, done) || done != chunk)
            throw "File writing error";
        remaining -= chunk;
    }
    CheckUnchanged(source, atStart, buffer.Data());
    if (!output.Commit())
        throw "File writing error";
    source.Close();
    return 1;
}
