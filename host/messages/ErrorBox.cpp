#include "host/messages/ErrorBox.h"

#include <algorithm>
#include <cctype>

#include "host/messages/ErrorLine.h"
#include "host/messages/SystemMessage.h"

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "EntryPoint #Number", the plug-in's line for an error raised as a number.
bool IsErrorNumberLine(const std::string& line) {
    const size_t mark = line.find(" #");
    if (mark == 0 || mark == std::string::npos || mark + 2 == line.size())
        return false;
    return std::all_of(line.begin(), line.begin() + mark,
                       [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }) &&
           std::all_of(line.begin() + mark + 2, line.end(), IsDigit);
}

}  // namespace

std::string ErrorBox::Text() const {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return text;
}

std::string ErrorBox::SystemReason() const {
    if (lines.size() != 1 || !IsErrorNumberLine(lines[0]) || systemError == NO_ERROR)
        return std::string();
    return SystemMessageText(systemError);
}

void WriteErrorBox(const ErrorBox& box, std::ostream& err) {
    for (const std::string& line : box.lines)
        WriteErrorLine(err, line);
    const std::string reason = box.SystemReason();
    if (!reason.empty())
        WriteErrorLine(err, "the system says: " + reason);
}
