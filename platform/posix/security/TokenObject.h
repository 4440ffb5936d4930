// An access token of this process, behind a HANDLE from OpenProcessToken.
// The privileges themselves belong to the process: every handle on its
// token sees the same ones.
#pragma once

#include "platform/posix/core/HandleTable.h"

namespace mvx {

class TokenObject final : public KernelObject {
public:
    static constexpr ObjectKind kKind = ObjectKind::Token;

    explicit TokenObject(DWORD access) : KernelObject(kKind), access_(access) {}

    DWORD Access() const { return access_; }

private:
    DWORD access_;
};

}  // namespace mvx
