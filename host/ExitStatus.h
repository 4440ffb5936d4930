// What the morvex program tells its caller when it ends.
#pragma once

enum ExitStatus {
    kExitDone = 0,
    kExitFailed = 1,  // the plug-in reported a failure, or the user cancelled
    kExitUsage = 2,   // the command line cannot be run as given
};
