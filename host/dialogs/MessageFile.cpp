#include "host/dialogs/MessageFile.h"

#include <fstream>
#include <stdexcept>

#include "host/module/BuildLocation.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(const std::string& line, size_t at) {
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

// The text of a line `<number> "<text>"`, whose number must be `expected`.
std::string ParseMessage(const std::string& line, size_t at, int expected) {
    size_t digitsEnd = at;
    while (digitsEnd < line.size() && line[digitsEnd] >= '0' && line[digitsEnd] <= '9')
        ++digitsEnd;
    if (line.substr(at, digitsEnd - at) != std::to_string(expected))
        throw std::invalid_argument("expected message number " + std::to_string(expected));
    at = SkipBlanks(line, digitsEnd);
    if (at == digitsEnd || at >= line.size() || line[at] != '"')
        throw std::invalid_argument("expected a blank and a text in double quotes");
    std::string text;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\') {
            ++at;
            if (at >= line.size() || (line[at] != '"' && line[at] != '\\'))
                throw std::invalid_argument("only \\\" and \\\\ may follow a backslash");
        }
        text += line[at];
    }
    if (at >= line.size())
        throw std::invalid_argument("the text has no closing double quote");
    if (SkipBlanks(line, at + 1) != line.size())
        throw std::invalid_argument("unexpected characters after the text");
    return text;
}

}  // namespace

MessageFile MessageFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read message file " + path);
    MessageFile file;
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t start = SkipBlanks(line, 0);
        if (start == line.size() || line[start] == '#')
            continue;
        try {
            file.texts.push_back(ParseMessage(line, start, file.Count()));
        } catch (const std::invalid_argument& fault) {
            throw std::runtime_error(path + ":" + std::to_string(lineNumber) + ": " +
                                     fault.what());
        }
    }
    if (in.bad())
        throw std::runtime_error("cannot read message file " + path);
    return file;
}

MessageFile MessageFile::LoadDefault() {
    return Load(FindBuildFile("lang/en.msg"));
}

const char* MessageFile::Text(int number) const {
    if (number < 0 || number >= Count())
        return nullptr;
    return texts[static_cast<size_t>(number)].c_str();
}
