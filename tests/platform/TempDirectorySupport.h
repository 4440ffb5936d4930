// A fresh directory for one test, removed with everything in it (read-only
// directories too) when the object goes away.
#pragma once

#include <string>

class TempDirectory {
public:
    TempDirectory();
    // In `parent` instead of $TMPDIR, such as /dev/shm for a tmpfs.
    explicit TempDirectory(const std::string& parent);
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return path_; }

    // The Linux path of `relative` (with '/' separators) inside the directory.
    std::string PathOf(const std::string& relative) const;

    // Creates a file (its directory must exist) holding `contents`; returns its path.
    std::string AddFile(const std::string& relative, const std::string& contents = "") const;
    // Creates a directory; returns its path.
    std::string AddDirectory(const std::string& relative) const;
    // The contents of a file, or "<missing>" when it cannot be read.
    std::string Contents(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string path_;
};
