// A private directory for the files a fuzz target feeds through the layer,
// made once per run in memory-backed storage where there is some, so that
// millions of inputs do not wear a disk. Removed with what it holds when the
// run ends normally; a run stopped by a finding leaves it for inspection.
#pragma once

#include <string>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // The absolute path of `leaf` in the directory.
    std::string PathOf(const std::string& leaf) const { return path + "/" + leaf; }

    // Replaces the file `leaf` with exactly `contents`.
    void Write(const std::string& leaf, const std::string& contents) const;
    // The contents of `leaf`; false when it cannot be read.
    bool Read(const std::string& leaf, std::string& contents) const;
    // Removes `leaf` if it is there.
    void Remove(const std::string& leaf) const;

private:
    std::string path;
};
