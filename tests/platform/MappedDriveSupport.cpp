#include "MappedDriveSupport.h"

#include "platform/posix/text/CodePages.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/core/FaultInjection.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

MappedDriveTest::MappedDriveTest() : ansiPage_(GetACP()) {
    mvx::ClearFaults();
    mvx::MapDrive('D', temp.Path());
}

MappedDriveTest::~MappedDriveTest() {
    mvx::ClearFaults();
    mvx::ResetDriveMap();
    mvx::SetCodePages(ansiPage_, 0);
}

MappedDriveTest::Handle::~Handle() {
    if (IsValid()) CloseHandle(handle_);
}

std::string MappedDriveTest::FullPathOf(const char* name) {
    char buffer[1024];
    const DWORD length = GetFullPathNameA(name, sizeof(buffer), buffer, nullptr);
    if (length == 0 || length >= sizeof(buffer))
        return "<error " + std::to_string(GetLastError()) + ">";
    return std::string(buffer, length);
}

HANDLE MappedDriveTest::OpenName(const char* name, DWORD access, DWORD shareMode, DWORD disposition,
                                 DWORD flags) {
    return CreateFileA(name, access, shareMode, nullptr, disposition, flags, nullptr);
}

std::string MappedDriveTest::UserAttributesUnsupported() const {
    const std::string probe = temp.AddFile("probe");
    const bool taken = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    const std::string why = taken ? "" : "user.* attributes are not supported under " +
                                             temp.Path() + ": " + std::strerror(errno);
    unlink(probe.c_str());
    return why;
}
