#include "tests/plugin/TempRegistrySupport.h"

#include <cstdlib>

namespace {
const char kVariable[] = "MORVEX_REGISTRY";
}  // namespace

TempRegistry::TempRegistry() {
    if (const char* file = std::getenv(kVariable))
        previous = file;
    setenv(kVariable, directory.PathOf("registry.reg").c_str(), 1);
}

TempRegistry::~TempRegistry() {
    if (previous)
        setenv(kVariable, previous->c_str(), 1);
    else
        unsetenv(kVariable);
}
