// The directory a user's relative names start from. The Win32 layer takes the
// Linux current directory once, when it starts; the host tells it where the
// user is, and where a panel's files are, through SetCurrentDirectoryA.
#pragma once

// Makes the process's Linux current directory the layer's, as Z: plus its
// path. False when it cannot be named in the ANSI code page or the layer
// refuses it; the layer's own idea of the current directory then stays.
bool EnterLinuxWorkingDirectory();
