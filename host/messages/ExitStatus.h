// What the morvex program tells its caller when it ends.
#pragma once

enum ExitStatus {
    kExitDone = 0,
    kExitFailed = 1,  // a failure, the user cancelled, or the output could not be written
    kExitUsage = 2,   // the command line cannot be run as given
};
