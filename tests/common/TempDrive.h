// A temporary directory seen by the plug-in code as the root of a drive, so
// tests name files the Windows way ("T:\dir\file").
#pragma once

#include <string>

#include "platform/posix/files/DriveMap.h"
#include "tests/platform/TempDirectorySupport.h"

class TempDrive {
public:
    explicit TempDrive(char letter) : letter_(letter) { mvx::MapDrive(letter_, directory_.Path()); }
    ~TempDrive() { mvx::ResetDriveMap(); }
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    // The Windows name of `relative` ('\' separators) on this drive.
    std::string Name(const std::string& relative) const {
        return std::string(1, letter_) + ":\\" + relative;
    }

    const TempDirectory& Directory() const { return directory_; }

private:
    TempDirectory directory_;
    char letter_;
};
