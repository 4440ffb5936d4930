#include "plugin/ErrorFunnel.h"

#include "common/StringBase.h"
#include "hostapi/ShowError.h"

namespace {

CStringBase<char> NumberLine(const char* entryName, unsigned number) {
    char digits[16];
    int start = sizeof(digits) - 1;
    digits[start] = 0;
    do {
        digits[--start] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    CStringBase<char> line(entryName);
    line.Append(" #");
    line.Append(digits + start);
    return line;
}

CStringBase<char> TextLine(const char* entryName, const char* text) {
    CStringBase<char> line(entryName);
    line.Append(": ");
    line.Append(text != nullptr ? text : "");
    return line;
}

// The line for the error being handled; rethrows it to learn its kind.
CStringBase<char> CaughtErrorLine(const char* entryName) {
    try {
        throw;
    } catch (unsigned int number) {
        return NumberLine(entryName, number);
    } catch (int number) {
        return NumberLine(entryName, static_cast<unsigned>(number));
    } catch (const char* text) {
        return TextLine(entryName, text);
    } catch (const CStringBase<char>& text) {
        return TextLine(entryName, text.Ptr());
    } catch (...) {
        return CStringBase<char>(entryName);
    }
}

}  // namespace

void ReportCaughtError(const char* entryName) noexcept {
    try {
        ShowError(CaughtErrorLine(entryName).Ptr());
    } catch (...) {
        // No memory left for the line: the name alone still tells the user
        // which operation failed, and ShowError itself allocates nothing.
        ShowError(entryName);
    }
}
