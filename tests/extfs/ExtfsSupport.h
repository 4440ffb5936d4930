// What the tests of the Midnight Commander helper share: where the helper
// and the programs it needs are, and the environment it runs in.
#pragma once

#include <string>
#include <vector>

// The helper as the source tree holds it.
std::string ExtfsHelperPath();

// The full path of `program` on the PATH; empty when it is not there.
std::string FindOnPath(const std::string& program);

// NAME=VALUE settings that make the helper use this build's morvex and the
// registry file `registry`, in a UTF-8 locale.
std::vector<std::string> HelperEnvironment(const std::string& registry);
