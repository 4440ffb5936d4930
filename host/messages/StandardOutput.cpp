#include "host/messages/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"

int CloseStandardOutput(int status, std::ostream& err) {
    // std::cout hands every write straight to stdout, so stdio knows of
    // every failure, and holds what is still to be written.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int reason = flushed ? 0 : errno;
    if (flushed && std::ferror(stdout) == 0 && !std::cout.fail())
        return status;
    // A command that failed has told why, standard output among its reasons.
    if (status != kExitDone)
        return status;
    WriteErrorLine(err, reason != 0 ? std::string("write error: ") + std::strerror(reason)
                                    : std::string("write error"));
    return status == kExitDone ? kExitFailed : status;
}
