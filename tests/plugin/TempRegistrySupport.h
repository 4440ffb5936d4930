// A registry of the test's own: while the object lives, HKEY_CURRENT_USER is
// an empty file in a temporary directory, whoever runs the test and however
// often.
#pragma once

#include "tests/platform/EnvironmentSettingSupport.h"
#include "tests/platform/TempDirectorySupport.h"

class TempRegistry {
private:
    TempDirectory directory;
    EnvironmentSetting file{"MORVEX_REGISTRY", directory.PathOf("registry.reg")};
};
