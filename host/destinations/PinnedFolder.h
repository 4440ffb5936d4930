// A destination folder held open for the whole of one command, so that
// swapping it for a link midway cannot lead the later items elsewhere: the
// plug-in is handed the folder itself (/proc/self/fd/N), not its name.
#pragma once

#include <string>

class PinnedFolder {
public:
    // Opens `folder` (a Linux path, or a Windows name such as Z:\dir) when it
    // is an existing folder; otherwise holds nothing and the name is handed
    // over as it is.
    explicit PinnedFolder(const std::string& folder);
    // The same, but a folder that does not exist is made first, with its
    // missing parents, each one held from its making on: a folder swapped in
    // for a new one (or a link to another) is never written into. Where that
    // fails nothing is held, and the name is handed over as it is.
    enum Making { kMakeMissing };
    PinnedFolder(const std::string& folder, Making);
    ~PinnedFolder();
    PinnedFolder(const PinnedFolder&) = delete;
    PinnedFolder& operator=(const PinnedFolder&) = delete;

    // The name that reaches the folder: the held one, or the name given.
    const std::string& Name() const { return name; }
    bool IsHeld() const { return fd >= 0; }

private:
    int fd;
    std::string name;
};

// The Linux path of a folder named as Linux or as Windows names it (UTF-8):
// "Z:\dir\sub" is /dir/sub, as the plug-in reads it, a backslash being a
// folder separator. A name the system cannot place stays as it is.
std::string LinuxFolderName(const std::string& name);
