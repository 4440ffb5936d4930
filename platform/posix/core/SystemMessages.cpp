// FormatMessageA for the system's messages: the texts of the codes this layer
// sets, as Windows words them (each ending in CR LF), and of its own codes.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/core/LocalMemory.h"

#include <cstring>

namespace mvx {
namespace {

struct SystemMessage {
    DWORD code;
    const char* text;
};

const SystemMessage kMessages[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {ERROR_INVALID_DRIVE, "The system cannot find the drive specified."},
    {ERROR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERROR_NO_MORE_FILES, "There are no more files."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_SEEK, "The drive cannot locate a specific area or track on the disk."},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERROR_LOCK_VIOLATION,
     "The process cannot access the file because another process has locked a portion of the "
     "file."},
    {ERROR_HANDLE_EOF, "Reached the end of the file."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_BAD_NETPATH, "The network path was not found."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_NEGATIVE_SEEK,
     "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_BAD_PATHNAME, "The specified path is invalid."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
    {ERROR_MORE_DATA, "More data is available."},
    {ERROR_NO_MORE_ITEMS, "No more data is available."},
    {ERROR_DIRECTORY, "The directory name is invalid."},
    {ERROR_CANT_ACCESS_FILE, "The file cannot be accessed by the system."},
    {ERROR_EA_TABLE_FULL, "The extended attribute table file is full."},
    {ERROR_INVALID_FLAGS, "Invalid flags."},
    {ERROR_BADDB, "The configuration registry database is corrupt."},
    {ERROR_BADKEY, "The configuration registry key is invalid."},
    {ERROR_CANTOPEN, "The configuration registry key could not be opened."},
    {ERROR_CANTREAD, "The configuration registry key could not be read."},
    {ERROR_CANTWRITE, "The configuration registry key could not be written."},
    {ERROR_REGISTRY_CORRUPT,
     "The registry is corrupted. The structure of one of the files containing registry data is "
     "corrupted, or the system's memory image of the file is corrupted, or the file could not be "
     "recovered because the alternate copy or log was absent or corrupted."},
    {ERROR_KEY_DELETED,
     "Illegal operation attempted on a registry key that has been marked for deletion."},
    {ERROR_NO_UNICODE_TRANSLATION,
     "No mapping for the Unicode character exists in the target multi-byte code page."},
    {ERROR_NOT_ALL_ASSIGNED, "Not all privileges or groups referenced are assigned to the caller."},
    {ERROR_INVALID_OWNER, "This security ID may not be assigned as the owner of this object."},
    {ERROR_NO_SUCH_PRIVILEGE, "A specified privilege does not exist."},
    {ERROR_PRIVILEGE_NOT_HELD, "A required privilege is not held by the client."},
    {ERROR_NONE_MAPPED, "No mapping between account names and security IDs was done."},
    {ERROR_INVALID_ACL, "The access control list (ACL) structure is invalid."},
    {ERROR_INVALID_SID, "The security ID structure is invalid."},
    {ERROR_INVALID_SECURITY_DESCR, "The security descriptor structure is invalid."},
    {kErrorStreamBeyondAttribute,
     "The stream is larger than the 64 KiB an extended attribute can hold, so this mount of the "
     "volume cannot deliver it whole. Mount the NTFS volume with ntfs-3g -o "
     "streams_interface=windows to reach streams of any size."},
    {kErrorRegistryNotAFile,
     "The settings file is a device, pipe, socket or directory, not a regular file, so the "
     "settings cannot be saved there. Point MORVEX_REGISTRY at a regular file."},
    {kErrorRegistryNotRegistryText,
     "The settings file is not a registry file: it does not start with the line \"Windows "
     "Registry Editor Version 5.00\" or \"REGEDIT4\", in UTF-8 or in UTF-16 text. It is left "
     "as it is; point MORVEX_REGISTRY at another file, or move this one away."},
    {kErrorSpecialFile,
     "The file is a device, pipe or socket, which has no data that can be read or copied."},
    {kErrorStreamNameNotUtf8,
     "An extended attribute of the file has a name that is not valid UTF-8, so it cannot be "
     "shown as a stream; the streams after it are not listed. To list them, copy its value "
     "under a UTF-8 name and remove the old name with setfattr -x."},
    {kErrorAttributeListTooLarge,
     "The names of the file's extended attributes take more than the 64 KiB Linux hands out in "
     "one list, so no stream of the file can be listed. Remove some attributes with setfattr -x "
     "to bring the list below that size."},
    {kErrorSourceChanged,
     "The file or stream being copied changed while it was read, so the copy would match "
     "neither its old nor its new contents; it was not kept. Try again once nothing writes it."},
    {kErrorStreamNameHasNoPath,
     "A stream of the file has a name holding '/', which a volume mounted with ntfs-3g's "
     "streams_interface=windows gives no path to; the streams after it are not listed. Mount "
     "the volume with the default streams_interface=xattr to reach it."},
    {kErrorStreamNameIsSambas,
     "The stream name is one Samba keeps its own records under (DOSATTRIB, or its stream "
     "prefix, DosStream. unless MORVEX_SAMBA_PREFIX says otherwise); written to this file, it "
     "would make the file read as a Samba file and hide its other streams. Choose another name."},
};

const char* TextOf(DWORD code) {
    for (const SystemMessage& message : kMessages)
        if (message.code == code) return message.text;
    return nullptr;
}

// The caller's buffer, or with FORMAT_MESSAGE_ALLOCATE_BUFFER a block for
// LocalFree whose address goes where `buffer` points.
DWORD Deliver(DWORD flags, const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD length = static_cast<DWORD>(text.size());
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        char* block = static_cast<char*>(LocalAllocate(text.size() + 1));
        if (!block) return Fail(ERROR_NOT_ENOUGH_MEMORY);
        std::memcpy(block, text.c_str(), text.size() + 1);
        *reinterpret_cast<char**>(buffer) = block;
        return length;
    }
    if (size <= length) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return length;
}

DWORD Format(DWORD flags, DWORD code, LPSTR buffer, DWORD size) {
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer ||
        (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)))
        return Fail(ERROR_INVALID_PARAMETER);
    const char* text = TextOf(code);
    if (!text) return Fail(ERROR_MR_MID_NOT_FOUND);
    return Deliver(flags, std::string(text) + "\r\n", buffer, size);
}

}  // namespace
}  // namespace mvx

// Only the system's messages, which hold no inserts, so the arguments are
// never read; the language is always English.
extern "C" DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD,
                                       LPSTR buffer, DWORD size, va_list*) {
    if (mvx::FaultHit("FormatMessageA")) return 0;
    return mvx::GuardedCall<DWORD>(0, [&] { return mvx::Format(flags, messageId, buffer, size); });
}
