// A registry of the test's own: while the object lives, HKEY_CURRENT_USER is
// an empty file in a temporary directory, whoever runs the test and however
// often.
#pragma once

#include <optional>
#include <string>

#include "tests/platform/TempDirectorySupport.h"

class TempRegistry {
public:
    TempRegistry();
    ~TempRegistry();
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

private:
    TempDirectory directory;
    std::optional<std::string> previous;  // MORVEX_REGISTRY as it was
};
