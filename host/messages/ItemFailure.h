// What went wrong with one item of a command, told as a user of cp expects:
// the item, where it was going, the plug-in's own text and the system's
// reason, e.g. "morvex: notes -> out/notes: Copy error: Access is denied."
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/messages/ErrorBox.h"

// One line per box the plug-in raised for the item, `subject` naming the
// item ("notes -> out/notes"); `otherwise` is said when it raised none.
void WriteItemFailure(std::ostream& err, const std::string& subject,
                      const std::vector<ErrorBox>& boxes, const std::string& otherwise);
