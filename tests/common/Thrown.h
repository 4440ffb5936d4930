// What an operation throws, as text, so a test states the expected failure in
// one line. The program throws texts as const char* and error numbers as
// unsigned int.
#pragma once

#include <string>

// The text thrown by `operation`; "(nothing)" when it returns normally.
template <typename Operation>
std::string ThrownText(Operation operation) {
    try {
        operation();
    } catch (const char* text) {
        return text;
    }
    return "(nothing)";
}

// The error number thrown by `operation`; 0 when it returns normally.
template <typename Operation>
unsigned int ThrownNumber(Operation operation) {
    try {
        operation();
    } catch (unsigned int number) {
        return number;
    }
    return 0;
}
