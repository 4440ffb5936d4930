// Holds the plug-in's error boxes back while it is in scope: the terminal UI
// hands each box to the innermost hold instead of writing it, so that the code
// whose call raised them can say in one line what failed, and why.
#pragma once

#include <utility>
#include <vector>

#include "host/messages/ErrorBox.h"

class ErrorBoxHold {
public:
    ErrorBoxHold();
    ~ErrorBoxHold();
    ErrorBoxHold(const ErrorBoxHold&) = delete;
    ErrorBoxHold& operator=(const ErrorBoxHold&) = delete;

    // The innermost hold in scope on this thread, or null.
    static ErrorBoxHold* Innermost();

    void Add(ErrorBox box) { boxes.push_back(std::move(box)); }
    std::vector<ErrorBox>& Boxes() { return boxes; }

private:
    ErrorBoxHold* outer;
    std::vector<ErrorBox> boxes;
};
