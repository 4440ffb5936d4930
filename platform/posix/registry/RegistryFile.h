// The text of the registry file, in the registry-export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Host]
//   @="default value"
//   "Count"=dword:0000000a
//   "Blob"=hex:01,02,ff
//   "Other"=hex(b):01,00,00,00,00,00,00,00
//
// UTF-8, lines ended by LF (CR LF is read too), a section for every key, text
// values with \\ and \" escapes. Reading is strict: text that holds anything
// else is damaged as a whole rather than half understood, so nothing built
// from it can quietly drop the part that was not understood.
#pragma once

#include "platform/posix/registry/RegistryTree.h"

#include <string>

namespace mvx {

// Reads registry text into `root`. Returns false, leaving `root` empty, when
// the text is not a well-formed registry file.
bool ParseRegistryText(const std::string& text, RegistryKey& root);

std::string FormatRegistryText(const RegistryKey& root);

}  // namespace mvx
