#include "platform/posix/security/SecurityPrivilege.h"

#include <atomic>

namespace mvx {
namespace {
std::atomic<bool> enabled{false};
}

bool SecurityPrivilegeEnabled() { return enabled.load(); }

void SetSecurityPrivilegeEnabled(bool enable) { enabled.store(enable); }

}  // namespace mvx
