// The seven lines a security report gives one access entry, written out by
// the tests from the words each line must hold.
#pragma once

#include <string>

struct EntryWords {
    std::string trustee;
    const char* generic;      // after "Generic: "
    const char* standard;     // after "Standard rights:"
    const char* specific;     // after "File specific rights: "
    const char* mode;         // after "Access mode: "
    const char* inheritance;  // after "Inheritance: "
    bool systemSecurity;
};

std::string EntryText(const EntryWords& words);
