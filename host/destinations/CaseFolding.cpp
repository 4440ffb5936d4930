#include "host/destinations/CaseFolding.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>

#include "host/destinations/ScratchFolder.h"

namespace {

std::string NearestExisting(std::string folder) {
    struct stat status {};
    while (stat(folder.c_str(), &status) != 0) {
        const size_t slash = folder.rfind('/');
        if (slash == std::string::npos)
            return ".";
        folder = slash == 0 ? "/" : folder.substr(0, slash);
    }
    return folder;
}

// Ctrl-C and the like wait while probe files exist: the probe takes one
// system call per name, and whatever it makes is gone when they are let in.
class SignalsHeldBack {
public:
    SignalsHeldBack() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
            sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &previous);
    }
    ~SignalsHeldBack() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
    SignalsHeldBack(const SignalsHeldBack&) = delete;
    SignalsHeldBack& operator=(const SignalsHeldBack&) = delete;

private:
    sigset_t previous;
};

using Clash = std::optional<NamesOnOneFile>;

// `name` with ASCII letters in lower case: the names one folder that folds
// case takes for one, as far as can be told without asking it.
std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

Clash ClashOfFoldedNames(const std::vector<std::string>& names, const std::string& untold) {
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < names.size(); ++i) {
        const auto [other, added] = seen.emplace(FoldedName(names[i]), i);
        if (!added)
            return NamesOnOneFile{other->second, i, untold};
    }
    return std::nullopt;
}

// True or false when a probe file of our own, looked for under its name in
// upper case, tells; none, with `why`, when no probe can be made.
std::optional<bool> FoldsLetterCase(const std::string& folder, std::string& why) {
    std::string probe = folder + "/.morvex-case-XXXXXX";
    const int fd = mkstemp(&probe[0]);
    if (fd < 0) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    close(fd);
    std::string upper = probe;
    const size_t base = upper.rfind('/') + 1;
    for (size_t i = base; i < upper.size(); ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    struct stat original {}, other {};
    const bool folds = stat(probe.c_str(), &original) == 0 && stat(upper.c_str(), &other) == 0 &&
                       original.st_ino == other.st_ino && original.st_dev == other.st_dev;
    unlink(probe.c_str());
    return folds;
}

// Makes an empty file of each name in `probe`, the folder of the probe: a
// name that finds the file of an earlier one is folded into it. A name the
// folder takes for no file at all (too long, not of its charset) has no
// output there to be written over.
Clash ClashInProbe(const std::string& probe, const std::vector<std::string>& names) {
    const int folder = open(probe.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return ClashOfFoldedNames(names, std::strerror(errno));
    std::map<std::pair<dev_t, ino_t>, size_t> made;
    Clash clash;
    for (size_t i = 0; i < names.size() && !clash; ++i) {
        const int file =
            openat(folder, names[i].c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const bool exists = file < 0 && errno == EEXIST;
        if (file >= 0)
            close(file);
        struct stat status {};
        if ((file < 0 && !exists) || fstatat(folder, names[i].c_str(), &status,
                                              AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const auto [other, added] = made.emplace(std::make_pair(status.st_dev, status.st_ino), i);
        if (!added)
            clash = NamesOnOneFile{other->second, i, ""};
    }
    close(folder);
    return clash;
}

}  // namespace

std::optional<NamesOnOneFile> FirstNamesOnOneFile(const std::string& folder,
                                                  const std::vector<std::string>& names) {
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < names.size(); ++i) {
        const auto [other, added] = seen.emplace(names[i], i);
        if (!added)
            return NamesOnOneFile{other->second, i, ""};
    }
    if (names.size() < 2 || folder.empty())
        return std::nullopt;
    const std::string nearest = NearestExisting(folder);
    const SignalsHeldBack held;
    std::string why;
    const std::optional<bool> folds = FoldsLetterCase(nearest, why);
    if (!folds)
        return ClashOfFoldedNames(names, why);
    if (!*folds)
        return std::nullopt;
    const ScratchFolder probe(nearest);
    if (!probe.Failure().empty())
        return ClashOfFoldedNames(names, probe.Failure());
    return ClashInProbe(probe.Path(), names);
}
