// From a file name to an open stream panel: the bodies of the two open entry
// points. Each returns the panel's address as the host's handle, or
// INVALID_HANDLE_VALUE when no panel was opened.
#pragma once

#include "platform/win32.h"

// The file the host offers when the user enters it; taken only while
// UsedByDefault is on.
HANDLE OpenFromHostFile(const char* name);

// The plug-in's own ways in: the command line (code 4, `argument` points to
// the text after the prefix) and the menu entry (code 1, the current item of
// the host's active panel). Other codes open nothing.
HANDLE OpenFromPluginEntry(int openFrom, INT_PTR argument);

// Opens a panel on `name` after trimming blanks and making it absolute. A
// name that matches nothing, or a file whose streams cannot be read, gives no
// panel and no message.
HANDLE OpenStreamPanel(const char* name);

// Whether the system offers backup streams: Windows NT 4.0 or later.
// Throws "GetVersionEx fails" when the system will not say.
bool IsSupportedSystem();
