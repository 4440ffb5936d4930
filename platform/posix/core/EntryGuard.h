// Runs the body of a Win32 function so that no exception reaches its caller:
// below the seam only the containers throw, and only when memory runs out.
#pragma once

#include "platform/posix/Win32Functions.h"

namespace mvx {

template <class Result, class Body>
Result GuardedCall(Result failure, Body body) {
    try {
        return body();
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return failure;
    }
}

}  // namespace mvx
