// Support for tests of the file functions: drive D: is a fresh temporary
// directory, and what a test changes in the drive map, the ANSI code page or
// the fault table is undone when it ends.
#pragma once

#include "TempDirectorySupport.h"
#include "platform/win32.h"

#include <gtest/gtest.h>
#include <string>

class MappedDriveTest : public ::testing::Test {
protected:
    MappedDriveTest();
    ~MappedDriveTest() override;

    // Closes a handle at the end of a scope.
    class Handle {
    public:
        explicit Handle(HANDLE handle) : handle_(handle) {}
        ~Handle();
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;

        HANDLE Get() const { return handle_; }
        bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

    private:
        HANDLE handle_;
    };

    // GetFullPathNameA into a roomy buffer; "<error N>" when it fails.
    static std::string FullPathOf(const char* name);

    // CreateFileA with the usual leftovers filled in.
    static HANDLE OpenName(const char* name, DWORD access, DWORD shareMode, DWORD disposition,
                           DWORD flags = FILE_ATTRIBUTE_NORMAL);

    // Why drive D: takes no user.* attributes, which tests of named streams
    // then skip with; empty where it takes them.
    std::string UserAttributesUnsupported() const;

    TempDirectory temp;

private:
    UINT ansiPage_;
};
