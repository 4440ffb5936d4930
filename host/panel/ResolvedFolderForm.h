// A Linux path in a form the system reads as Linux does.
#pragma once

#include <string>

// `path`, absolute, with its folder resolved: free of links, "." and "..",
// so that ".." after a link to a folder leads out of the folder linked to,
// as Linux takes it, not back along the spelling, as the system would. The
// last component stays as it stands: a link is still the link. `path`
// itself when its folder cannot be resolved (it reaches no entry).
std::string ResolvedFolderForm(const std::string& path);
