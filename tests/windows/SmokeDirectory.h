// The smoke run's own directory below the system's temporary directory,
// removed with everything in it at the end of the run.
#pragma once

#include <string>

class SmokeDirectory {
public:
    // Throws std::runtime_error when the directory cannot be made.
    SmokeDirectory();
    ~SmokeDirectory();
    SmokeDirectory(const SmokeDirectory&) = delete;
    SmokeDirectory& operator=(const SmokeDirectory&) = delete;

    const std::string& Path() const { return path; }
    // The Windows name of `relative` inside the directory.
    std::string PathOf(const std::string& relative) const;
    // Creates a file holding `contents`; returns its name.
    std::string AddFile(const std::string& relative, const std::string& contents) const;
    // The contents of a file, or "<missing>" when it cannot be read.
    std::string Contents(const std::string& relative) const;

private:
    std::string path;
};
