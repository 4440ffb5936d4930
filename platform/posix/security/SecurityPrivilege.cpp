#include "platform/posix/security/SecurityPrivilege.h"

#include <atomic>
#include <unistd.h>

namespace mvx {
namespace {
std::atomic<bool> enabled{false};
std::atomic<bool> refused{false};
}  // namespace

bool SecurityPrivilegeEnabled() { return enabled.load(); }

void SetSecurityPrivilegeEnabled(bool enable) { enabled.store(enable); }

bool SecurityPrivilegeHeld() { return geteuid() == 0 && !refused.load(); }

void SetSecurityPrivilegeRefused(bool refuse) {
    refused.store(refuse);
    if (refuse) enabled.store(false);
}

}  // namespace mvx
