#include "host/listing/TreeWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// The program is built for i386 without 64-bit file offsets: the plain calls
// fail with EOVERFLOW on files over 2 GiB and on 64-bit inode numbers, which
// tmpfs and overlay file systems hand out, so the *64 calls are used.

namespace {

struct Entry {
    std::string path;
    bool directory;
};

// The files and directories of one listing, their names kept end to end in
// one buffer, so that sorting thousands of them moves small records, not
// strings. A record also holds the name's first eight bytes as a number of
// the same order, which settles most comparisons without reaching the name.
struct Children {
    struct Child {
        std::uint64_t head;
        size_t at;
        bool directory;
    };
    std::string names;
    std::vector<Child> children;

    void Add(const char* name, bool directory) {
        children.push_back({HeadOf(name), names.size(), directory});
        names.append(name).push_back('\0');
    }
    const char* NameOf(const Child& child) const { return names.data() + child.at; }
    // Whether `a` comes after `b` in byte order.
    bool After(const Child& a, const Child& b) const {
        if (a.head != b.head) return a.head > b.head;
        return std::strcmp(NameOf(a), NameOf(b)) > 0;
    }

private:
    // A name shorter than eight bytes is filled out with zeros, which come
    // before every byte, as the end of a name does.
    static std::uint64_t HeadOf(const char* name) {
        std::uint64_t head = 0;
        int length = 0;
        for (; length < 8 && name[length] != '\0'; ++length)
            head = (head << 8) | static_cast<unsigned char>(name[length]);
        return length == 0 ? 0 : head << (8 * (8 - length));
    }
};

class Walk {
public:
    explicit Walk(TreeVisitor& visitor) : visitor(visitor) {}

    bool Run(const std::string& root);

private:
    // Lists the directory at `path` and puts its files and directories on the
    // stack, the first name on top. `openFlags` tell whether a link is followed.
    void Enter(const std::string& path, int openFlags);
    void Add(int directory, const std::string& prefix, const dirent64& entry,
             Children& found);

    TreeVisitor& visitor;
    std::vector<Entry> pending;  // a stack, so that deep trees need no deep recursion
};

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

bool Walk::Run(const std::string& root) {
    struct stat64 status;
    if (stat64(root.c_str(), &status) != 0) {
        visitor.Unreadable(root, errno);
        return true;
    }
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        return true;
    if (!visitor.Visit(root, S_ISDIR(status.st_mode)))
        return false;
    if (S_ISDIR(status.st_mode))
        Enter(root, kDirectoryFlags);
    while (!pending.empty()) {
        const Entry entry = std::move(pending.back());
        pending.pop_back();
        if (!visitor.Visit(entry.path, entry.directory))
            return false;
        // Between the listing and here the entry may have become a link.
        if (entry.directory)
            Enter(entry.path, kDirectoryFlags | O_NOFOLLOW);
    }
    return true;
}

void Walk::Enter(const std::string& path, int openFlags) {
    const int directory = open(path.c_str(), openFlags);
    // Closed however the listing ends, with the descriptor it was opened from.
    std::unique_ptr<DIR, int (*)(DIR*)> listing(directory >= 0 ? fdopendir(directory) : nullptr,
                                                closedir);
    if (listing == nullptr) {
        const int error = errno;
        if (directory >= 0)
            close(directory);
        visitor.Unreadable(path, error);
        return;
    }
    const std::string prefix = path.back() == '/' ? path : path + '/';
    Children found;
    for (;;) {
        errno = 0;
        const dirent64* entry = readdir64(listing.get());
        if (entry == nullptr)
            break;
        Add(directory, prefix, *entry, found);
    }
    if (errno != 0)
        visitor.Unreadable(path, errno);
    // Reversed, so that the stack hands out the first name first.
    std::sort(found.children.begin(), found.children.end(),
              [&found](const Children::Child& a, const Children::Child& b) {
                  return found.After(a, b);
              });
    for (const Children::Child& child : found.children)
        pending.push_back({prefix + found.NameOf(child), child.directory});
}

void Walk::Add(int directory, const std::string& prefix, const dirent64& entry,
               Children& found) {
    const char* name = entry.d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return;
    unsigned char type = entry.d_type;
    // Some file systems leave the kind to a look at the entry itself.
    if (type == DT_UNKNOWN) {
        struct stat64 status;
        if (fstatat64(directory, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            visitor.Unreadable(prefix + name, errno);
            return;
        }
        type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_REG || type == DT_DIR)
        found.Add(name, type == DT_DIR);
}

}  // namespace

bool WalkTree(const std::string& root, TreeVisitor& visitor) {
    return Walk(visitor).Run(root);
}
