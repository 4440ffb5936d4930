#include "AddressSpaceLimitSupport.h"

#include <unistd.h>

#include <cstdio>

namespace {

// Bytes of address space the process has mapped now; 0 when unknown.
rlim_t MappedBytes() {
    unsigned long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

AddressSpaceLimit::AddressSpaceLimit(rlim_t headroomBytes) {
    if (getrlimit(RLIMIT_AS, &saved_) != 0) {
        failure_ = "getrlimit failed";
        return;
    }
    const rlim_t mapped = MappedBytes();
    if (mapped == 0) {
        failure_ = "cannot read /proc/self/statm";
        return;
    }
    rlimit limited = saved_;
    limited.rlim_cur = mapped + headroomBytes;
    if (saved_.rlim_cur != RLIM_INFINITY && saved_.rlim_cur < limited.rlim_cur) {
        failure_ = "the address space is limited already";
        return;
    }
    if (setrlimit(RLIMIT_AS, &limited) != 0) {
        failure_ = "setrlimit failed";
        return;
    }
    limited_ = true;
}

AddressSpaceLimit::~AddressSpaceLimit() {
    if (limited_) setrlimit(RLIMIT_AS, &saved_);
}
