#include "platform/posix/registry/RegistryStore.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/registry/RegistryFile.h"
#include "platform/RegistryFileCheck.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mvx {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    int Get() const { return fd_; }
    // Closes now, so the caller learns of a failed final write.
    int Close() {
        int result = close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found)
        return found->pw_dir;
    return std::string();
}

std::string DirectoryOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int ReadAll(int fd, std::string& text) {
    char buffer[65536];
    while (text.size() <= kMaxRegistryFileSize) {
        ssize_t count = read(fd, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        if (count == 0) return 0;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return 0;
}

LONG Code(int err) { return static_cast<LONG>(ErrorFromErrno(err)); }

// Loads the file into `root`, which stays empty unless it can be read: a
// missing file is an empty registry; for one that exists and cannot be read
// as a registry file, the Windows error code that tells why.
LONG LoadFile(const std::string& path, RegistryText& text, RegistryKey& root) {
    struct stat64 status;
    // A socket cannot even be opened; it is no file all the same.
    if (stat64(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return static_cast<LONG>(kErrorRegistryNotAFile);
    // Non-blocking, so a FIFO put in the file's place cannot hang the caller.
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_LARGEFILE));
    if (file.Get() < 0) return errno == ENOENT || errno == ENOTDIR ? ERROR_SUCCESS : Code(errno);
    if (fstat64(file.Get(), &status) != 0) return Code(errno);
    if (!S_ISREG(status.st_mode)) return static_cast<LONG>(kErrorRegistryNotAFile);
    if (status.st_size > static_cast<off64_t>(kMaxRegistryFileSize)) return ERROR_FILE_TOO_LARGE;
    std::string bytes;
    int err = ReadAll(file.Get(), bytes);
    if (err != 0) return Code(err);
    if (bytes.size() > kMaxRegistryFileSize) return ERROR_FILE_TOO_LARGE;
    if (text.Parse(bytes, root)) return ERROR_SUCCESS;
    root.Clear();
    return static_cast<LONG>(kErrorRegistryNotRegistryText);
}

int MakeDirectories(const std::string& directory) {
    struct stat64 status;
    if (stat64(directory.c_str(), &status) == 0) return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
    if (directory != "/" && directory != ".") {
        int err = MakeDirectories(DirectoryOf(directory));
        if (err != 0) return err;
    }
    // Settings are private to their user, as the XDG directories are.
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    return 0;
}

// Follows a symbolic link to the file, so a linked registry stays linked.
std::string FileToReplace(const std::string& path) {
    struct stat64 status;
    if (lstat64(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

int WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        ssize_t count = write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        done += static_cast<std::size_t>(count);
    }
    return 0;
}

// Writes `text` to a new file beside `path` and flushes it to the disk.
int WriteTemporary(const std::string& path, const std::string& text, std::string& temporary) {
    std::string pattern = path + ".XXXXXX";
    Descriptor file(mkostemp(&pattern[0], O_CLOEXEC));
    if (file.Get() < 0) return errno;
    int err = WriteAll(file.Get(), text);
    if (err == 0 && fsync(file.Get()) != 0) err = errno;
    int closeErr = file.Close();
    if (err == 0) err = closeErr;
    if (err != 0) {
        unlink(pattern.c_str());
        return err;
    }
    temporary = pattern;
    return 0;
}

// Makes the rename itself durable; a failure here loses nothing that a
// crash would not, so it is not reported.
void FlushDirectory(const std::string& directory) {
    Descriptor handle(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.Get() >= 0) fsync(handle.Get());
}

int ReplaceFile(const std::string& path, const std::string& text) {
    std::string temporary;
    int err = WriteTemporary(path, text, temporary);
    if (err != 0) return err;
    if (rename(temporary.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        unlink(temporary.c_str());
        return err;
    }
    FlushDirectory(DirectoryOf(path));
    return 0;
}

int LockExclusively(const Descriptor& lock) {
    while (flock(lock.Get(), LOCK_EX) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

// A path that exists must be a regular file: renaming over a device or a pipe
// would replace it, and its lock would land in a place that is not ours.
LONG CheckReplaceable(const std::string& path) {
    struct stat64 status;
    if (stat64(path.c_str(), &status) != 0) return errno == ENOENT ? ERROR_SUCCESS : Code(errno);
    return S_ISREG(status.st_mode) ? ERROR_SUCCESS : static_cast<LONG>(kErrorRegistryNotAFile);
}

}  // namespace

std::string RegistryFilePath() {
    const char* explicitPath = std::getenv("MORVEX_REGISTRY");
    if (explicitPath && *explicitPath) return explicitPath;
    // Relative XDG directories are invalid by the XDG rules and ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string directory = config && config[0] == '/' ? config : std::string();
    if (directory.empty()) {
        std::string home = HomeDirectory();
        if (home.empty()) return std::string();
        directory = home + "/.config";
    }
    return directory + "/morvex/registry.reg";
}

LONG ReadRegistry(RegistryKey& root) {
    root.Clear();
    std::string path = RegistryFilePath();
    RegistryText text;
    return path.empty() ? ERROR_SUCCESS : LoadFile(path, text, root);
}

LONG UpdateRegistry(const RegistryChange& change) {
    std::string named = RegistryFilePath();
    if (named.empty()) return ERROR_PATH_NOT_FOUND;
    std::string path = FileToReplace(named);
    const LONG refused = CheckReplaceable(path);
    if (refused != ERROR_SUCCESS) return refused;
    int err = MakeDirectories(DirectoryOf(path));
    if (err != 0) return Code(err);
    Descriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) return Code(errno);
    err = LockExclusively(lock);
    if (err != 0) return Code(err);

    RegistryKey root("");
    RegistryText text;
    LONG code = LoadFile(path, text, root);
    if (code != ERROR_SUCCESS) return code;
    bool changed = false;
    code = change(root, changed);
    if (code != ERROR_SUCCESS || !changed) return code;
    const std::string bytes = text.Format(root);
    if (bytes.size() > kMaxRegistryFileSize) return ERROR_FILE_TOO_LARGE;
    // What is written must read back as the registry it holds; a file that
    // would not is never put in place of one that does.
    RegistryKey reread("");
    RegistryText check;
    if (!check.Parse(bytes, reread) || !SameRegistry(root, reread)) return ERROR_REGISTRY_CORRUPT;
    err = ReplaceFile(path, bytes);
    return err == 0 ? ERROR_SUCCESS : Code(err);
}

RegistryFileCheck CheckRegistryFile() {
    RegistryFileCheck check;
    check.path = RegistryFilePath();
    check.code = ERROR_SUCCESS;
    if (check.path.empty()) return check;
    RegistryKey root("");
    RegistryText text;
    check.code = LoadFile(check.path, text, root);
    for (const RegistryNotice& notice : text.Notices())
        check.notices.push_back(RegistryFileNotice{notice.line, notice.what});
    return check;
}

}  // namespace mvx
