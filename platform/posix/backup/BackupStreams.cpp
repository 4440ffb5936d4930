#include "platform/posix/backup/BackupStreams.h"

#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/files/ExtendedAttributes.h"
#include "platform/posix/files/SambaStreams.h"
#include "platform/posix/files/StreamPaths.h"
#include "platform/posix/security/FileSecurityDescriptor.h"
#include "platform/posix/core/LittleEndian.h"

#include <cerrno>
#include <sys/stat.h>

namespace mvx {
namespace {

BackupStream FailedStream(DWORD id, DWORD failure) {
    BackupStream stream;
    stream.id = id;
    stream.failure = failure;
    return stream;
}

// Adds the stream kept in attribute `where` when the file has one.
void AddAttributeStream(const AttributeFile& file, DWORD id, const StreamAttribute& where,
                        std::u16string streamName, std::vector<BackupStream>& streams) {
    bool present = false;
    size_t size = 0;
    const DWORD error = QueryAttributeSize(file, where.attribute, present, size);
    if (error != NO_ERROR) {
        streams.push_back(FailedStream(id, error));
        return;
    }
    if (!present) return;
    BackupStream stream;
    stream.id = id;
    stream.size = StreamSizeOf(where, size);
    stream.name = std::move(streamName);
    stream.source = StreamSource::Attribute;
    stream.attribute = where.attribute;
    stream.attributeSize = size;
    streams.push_back(std::move(stream));
}

void AddSecurityStream(const AttributeFile& file, std::vector<BackupStream>& streams) {
    std::string descriptor;
    const DWORD error = ReadFileSecurity(file, BackupSecurityParts(), descriptor);
    if (error != NO_ERROR) {
        streams.push_back(FailedStream(BACKUP_SECURITY_DATA, error));
        return;
    }
    BackupStream stream;
    stream.id = BACKUP_SECURITY_DATA;
    stream.attributes = STREAM_CONTAINS_SECURITY;
    stream.size = descriptor.size();
    stream.held = std::move(descriptor);
    streams.push_back(std::move(stream));
}

// A name that is not UTF-8 has no UTF-16 form. Changing it would show a
// stream that does not exist, and leaving it out would lose it from the
// backup without a word, so reading fails when it comes to that stream.
bool HeaderName(const std::string& name, std::u16string& wide) {
    std::u16string converted;
    if (!Utf8ToUtf16(name, converted)) return false;
    wide.reserve(converted.size() + 7);
    wide.assign(1, u':').append(converted).append(u":$DATA");
    return true;
}

void AddAttributeStreams(const AttributeFile& file, std::vector<BackupStream>& streams) {
    std::vector<AttributeStream> found;
    const DWORD error = ListAttributeStreams(file, found);
    if (error != NO_ERROR) {
        streams.push_back(FailedStream(BACKUP_ALTERNATE_DATA, error));
        return;
    }
    // Room for these and the two streams that follow them, in one move.
    streams.reserve(streams.size() + found.size() + 2);
    for (const AttributeStream& stream : found) {
        std::u16string wide;
        if (!HeaderName(stream.name, wide))
            streams.push_back(FailedStream(BACKUP_ALTERNATE_DATA, kErrorStreamNameNotUtf8));
        else
            AddAttributeStream(file, BACKUP_ALTERNATE_DATA, stream.where, std::move(wide),
                               streams);
    }
}

// Sizes come from stat of each path: a stream there has no size limit.
void AddPathStream(int fd, const std::string& name, std::vector<BackupStream>& streams) {
    BackupStream stream;
    stream.id = BACKUP_ALTERNATE_DATA;
    stream.source = StreamSource::Path;
    DWORD error = HeaderName(name, stream.name) ? NO_ERROR : kErrorStreamNameNotUtf8;
    if (error == NO_ERROR) error = StreamPathOfDescriptor(fd, name, stream.path);
    struct stat64 status;
    if (error == NO_ERROR && stat64(stream.path.c_str(), &status) != 0)
        error = ErrorFromErrno(errno);
    if (error != NO_ERROR) {
        streams.push_back(FailedStream(BACKUP_ALTERNATE_DATA, error));
        return;
    }
    stream.size = static_cast<ULONGLONG>(status.st_size);
    streams.push_back(std::move(stream));
}

void AddAlternateStreams(const AttributeFile& file, int fd, std::vector<BackupStream>& streams) {
    std::vector<std::string> names;
    DWORD error = NO_ERROR;
    if (!ListPathStreams(file, names, error))
        AddAttributeStreams(file, streams);
    else if (error != NO_ERROR)
        streams.push_back(FailedStream(BACKUP_ALTERNATE_DATA, error));
    else
        for (const std::string& name : names) AddPathStream(fd, name, streams);
}

}  // namespace

DWORD ListBackupStreams(int fd, bool withSecurity, std::vector<BackupStream>& streams) {
    const AttributeFile file = AttributeFile::OfDescriptor(fd);
    struct stat64 status;
    if (file.Status(status) != 0) return ErrorFromErrno(errno);
    streams.clear();
    if (S_ISREG(status.st_mode)) {
        BackupStream data;
        data.id = BACKUP_DATA;
        data.size = static_cast<ULONGLONG>(status.st_size);
        data.source = StreamSource::FileData;
        streams.push_back(std::move(data));
    }
    AddAttributeStream(file, BACKUP_EA_DATA, {"system.ntfs_ea"}, u"", streams);
    if (withSecurity) AddSecurityStream(file, streams);
    AddAlternateStreams(file, fd, streams);
    AddAttributeStream(file, BACKUP_OBJECT_ID, {"system.ntfs_object_id"}, u"", streams);
    AddAttributeStream(file, BACKUP_REPARSE_DATA, {"system.ntfs_reparse_data"}, u"", streams);
    return NO_ERROR;
}

std::string StreamHeader(const BackupStream& stream) {
    std::string header(kStreamHeaderSize + stream.name.size() * 2, '\0');
    BYTE* at = reinterpret_cast<BYTE*>(&header[0]);
    const DWORD fields[] = {stream.id, stream.attributes, static_cast<DWORD>(stream.size),
                            static_cast<DWORD>(stream.size >> 32),
                            static_cast<DWORD>(stream.name.size() * 2)};
    for (DWORD field : fields) at = PutDword(at, field);
    for (char16_t unit : stream.name) at = PutWord(at, static_cast<WORD>(unit));
    return header;
}

}  // namespace mvx
