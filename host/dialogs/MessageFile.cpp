#include "host/dialogs/MessageFile.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "host/module/BuildLocation.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(std::string_view line, size_t at) {
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

// The text of a line `<number> "<text>"`, whose number must be `expected`.
// Runs between backslashes are copied whole: the file is read at every start.
std::string ParseMessage(std::string_view line, size_t at, int expected) {
    size_t digitsEnd = at;
    while (digitsEnd < line.size() && line[digitsEnd] >= '0' && line[digitsEnd] <= '9')
        ++digitsEnd;
    if (line.substr(at, digitsEnd - at) != std::to_string(expected))
        throw std::invalid_argument("expected message number " + std::to_string(expected));
    at = SkipBlanks(line, digitsEnd);
    if (at == digitsEnd || at >= line.size() || line[at] != '"')
        throw std::invalid_argument("expected a blank and a text in double quotes");
    std::string text;
    for (++at;;) {
        size_t stop = at;
        while (stop < line.size() && line[stop] != '"' && line[stop] != '\\')
            ++stop;
        if (stop == line.size())
            throw std::invalid_argument("the text has no closing double quote");
        text.append(line.data() + at, stop - at);
        at = stop + 1;
        if (line[stop] == '"')
            break;
        if (at >= line.size() || (line[at] != '"' && line[at] != '\\'))
            throw std::invalid_argument("only \\\" and \\\\ may follow a backslash");
        text += line[at++];
    }
    if (SkipBlanks(line, at) != line.size())
        throw std::invalid_argument("unexpected characters after the text");
    return text;
}

// The whole file; false when it cannot be read.
bool ReadWhole(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        contents.append(chunk, static_cast<size_t>(in.gcount()));
    return !in.bad();
}

}  // namespace

MessageFile MessageFile::Load(const std::string& path) {
    std::string contents;
    if (!ReadWhole(path, contents))
        throw std::runtime_error("cannot read message file " + path);
    MessageFile file;
    const std::string_view all(contents);
    int lineNumber = 1;
    for (size_t begin = 0; begin < all.size(); ++lineNumber) {
        const size_t newline = std::min(all.find('\n', begin), all.size());
        std::string_view line = all.substr(begin, newline - begin);
        begin = newline + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t start = SkipBlanks(line, 0);
        if (start == line.size() || line[start] == '#')
            continue;
        try {
            file.texts.push_back(ParseMessage(line, start, file.Count()));
        } catch (const std::invalid_argument& fault) {
            throw std::runtime_error(path + ":" + std::to_string(lineNumber) + ": " +
                                     fault.what());
        }
    }
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
