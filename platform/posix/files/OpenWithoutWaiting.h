// open() that never waits: a FIFO with no writer (or, for writing, no reader)
// would otherwise hold open(), and the host with it, forever. The descriptor
// then blocks as a Windows handle does.
#pragma once

#include <sys/types.h>

#include <string>

namespace mvx {

// The descriptor, or -1 with errno set; ENXIO for a FIFO nobody reads.
int OpenWithoutWaiting(const std::string& path, int flags, mode_t mode);

}  // namespace mvx
