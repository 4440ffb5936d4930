#include "host/messages/ItemFailure.h"

#include <algorithm>
#include <cctype>

#include "host/messages/ErrorLine.h"
#include "host/messages/SystemMessage.h"

namespace {

// "GetFiles: File writing error" names the entry point that failed, which
// the subject says better.
std::string WithoutEntryPoint(const std::string& text) {
    const size_t colon = text.find(": ");
    const bool named = colon != std::string::npos && colon > 0 &&
                       std::all_of(text.begin(), text.begin() + colon, [](char c) {
                           return std::isalpha(static_cast<unsigned char>(c)) != 0;
                       });
    return named ? text.substr(colon + 2) : text;
}

// The plug-in's texts for a system call that failed: only for these does the
// last error say why. Its other texts are refusals of its own, made after
// calls that may have failed harmlessly on the way.
bool ReportsASystemCall(const std::string& text) {
    static const char* const kTexts[] = {
        "Copy error",           "Delete error",           "File writing error",
        "File reading error",   "Can not open input file", "Can not open output file",
        "Can not create output file", "Can not write SecurityDescriptor", "GetLength error",
        "GetFileSecurity error", "can not delete file",   "LookupAccountSid",
    };
    for (const char* known : kTexts)
        if (text == known)
            return true;
    return false;
}

}  // namespace

void WriteItemFailure(std::ostream& err, const std::string& subject,
                      const std::vector<ErrorBox>& boxes, const std::string& otherwise) {
    if (boxes.empty())
        WriteErrorLine(err, subject + ": " + otherwise);
    for (const ErrorBox& box : boxes) {
        const std::string text = WithoutEntryPoint(box.Text());
        const std::string reason = box.systemError != NO_ERROR && ReportsASystemCall(text)
                                       ? SystemMessageText(box.systemError)
                                       : std::string();
        WriteErrorLine(err, subject + ": " + text + (reason.empty() ? "" : ": " + reason));
    }
}
