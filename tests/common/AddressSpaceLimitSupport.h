// Lets a test run code while the process may map only a little more memory
// than it has now, so that a big allocation is refused for real. The limit
// is lifted again when the object goes away.
#pragma once

#include <sys/resource.h>

#include <string>

class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroomBytes);
    ~AddressSpaceLimit();
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

    // Empty when the limit is in force; otherwise why it could not be set.
    const std::string& Failure() const { return failure_; }

private:
    rlimit saved_{};
    bool limited_ = false;
    std::string failure_;
};
