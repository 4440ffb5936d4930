// A socket file in the file system: one kind of file that holds no data.
#pragma once

#include <string>

// Binds a Unix socket at `path` and closes it, leaving the socket file;
// returns `path`.
std::string MakeSocketFile(const std::string& path);
