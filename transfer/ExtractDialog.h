// The destination dialog of an extraction: a frame, a label, the edit line
// with the destination, and the accept and cancel buttons.
#pragma once

#include "common/StringBase.h"

// Shows `destination` for the user to confirm or edit, until the accepted
// text, trimmed, ends in a backslash; a text that does not is refused with
// "You must specify directory path" and shown again as typed. True with the
// trimmed text in `destination`; false, with `destination` unchanged, when
// the dialog was closed any other way than by the accept button. A
// destination longer than the edit line holds raises
// "The destination path is too long for the dialog" before anything is shown.
bool RunExtractDialog(CStringBase<char>& destination);
