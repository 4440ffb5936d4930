// The text of the registry file, in the registry-export format:
//
//   Windows Registry Editor Version 5.00        (or REGEDIT4)
//
//   ; a comment
//   [HKEY_CURRENT_USER\Software\Host]
//   @="default value"
//   "Count"=dword:0000000a
//   "Blob"=hex:01,02,ff
//   "Other"=hex(b):01,00,00,00,00,00,00,00
//   "Gone"=-
//   [-HKEY_CURRENT_USER\Software\Old]
//
// UTF-8, with or without a byte order mark, or UTF-16LE with one, as exported
// files often are; lines ended by LF or CR LF; a hex list may go on over
// several lines, each but the last ending in a backslash. Every line is read on its own,
// so one that cannot be understood (a key of another hive, a malformed value)
// spoils nothing else: it is told as a notice and kept as it is. Writing
// rewrites only the lines of values that changed and adds those that are new,
// in the encoding and with the line ends the file came in, so nothing the
// file holds is ever dropped, understood or not.
#pragma once

#include "platform/posix/registry/RegistryTree.h"

#include <cstddef>
#include <string>
#include <vector>

namespace mvx {

// A line that was not read; `line` counts from 1.
struct RegistryNotice {
    std::size_t line;
    std::string what;
};

class RegistryText {
public:
    // Reads the bytes of a file into `root`, which must be empty. Returns false,
    // leaving `root` empty, when they are no registry file at all: text that
    // does not start with the format's first line.
    bool Parse(const std::string& bytes, RegistryKey& root);

    const std::vector<RegistryNotice>& Notices() const { return notices_; }

    // The file holding `root`: the tree that Parse read, changed since (or any
    // tree, when nothing was read). Lines that were not read stay in place.
    std::string Format(const RegistryKey& root) const;

private:
    enum class Encoding { Utf8, Utf8WithMark, Utf16 };
    struct Line {
        std::string raw;       // as the file has it, continuation lines joined by LF
        bool opensSection;     // starts with '[', read or not
        bool blank;
        RegistryValue value;   // the value it set, for a value line that was read
    };
    class Reader;
    class Writer;

    std::vector<Line> lines_;
    std::vector<RegistryNotice> notices_;
    Encoding encoding_ = Encoding::Utf8;
    bool crlf_ = false;
};

}  // namespace mvx
