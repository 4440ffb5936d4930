#include "transfer/CopyFileData.h"

#include "common/InputFile.h"
#include "common/ReplacingOutputFile.h"
#include "common/RawBuffer.h"

namespace {

constexpr DWORD kChunkSize = 512 * 1024;

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
    if (!source.GetLength(remaining))
        throw "GetLength error";
    while (remaining > 0) {
        DWORD chunk = remaining < kChunkSize ? static_cast<DWORD>(remaining) : kChunkSize;
        DWORD done = 0;
        if (!source.Read(buffer.Data(), chunk, done) || done != chunk)
            throw "File reading error";
        if (!output.Write(buffer.Data(), chunk, done) || done != chunk)
            throw "File writing error";
        remaining -= chunk;
    }
    if (!output.Commit())
        throw "File writing error";
    source.Close();
    return 1;
}
