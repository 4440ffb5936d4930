#include "tests/windows/CheckLog.h"

#include <cstdio>

void CheckLog::Group(const std::string& name) {
    group = name;
    std::printf("== %s\n", name.c_str());
    std::fflush(stdout);
}

bool CheckLog::Check(bool ok, const std::string& what) {
    ++(ok ? passed : failed);
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", group.c_str(), what.c_str());
    std::fflush(stdout);
    return ok;
}

void CheckLog::PrintSummary() const {
    std::printf("smoke: %d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
}
