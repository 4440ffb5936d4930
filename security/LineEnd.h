// Lines of the security report end with CR LF, as every text file the
// plug-in writes does.
#pragma once

#include "common/StringBase.h"

inline void AppendLineEnd(CStringBase<char>& text) {
    text.Append('\r');
    text.Append('\n');
}
