#include "platform/posix/registry/RegistryFile.h"

#include "platform/posix/registry/RegistryNames.h"
#include "platform/posix/text/UnicodeEncoding.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace mvx {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::string_view kOtherRoots = "HKEY_";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHexNumber(std::string_view digits, std::size_t maxDigits, DWORD& number) {
    if (digits.empty() || digits.size() > maxDigits) return false;
    number = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0) return false;
        number = number * 16 + static_cast<DWORD>(digit);
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool ParseHexBytes(std::string_view list, std::string& bytes) {
    if (TrimBlanks(list).empty()) return true;
    while (true) {
        std::size_t comma = list.find(',');
        DWORD byte;
        if (!ParseHexNumber(TrimBlanks(list.substr(0, comma)), 2, byte)) return false;
        bytes.push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

// Reads a quoted, escaped string starting at `at`; `at` ends past the quote.
bool ParseQuoted(std::string_view line, std::size_t& at, std::string& out) {
    if (at >= line.size() || line[at] != '"') return false;
    for (++at; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (c == '\\') {
            if (++at == line.size() || (line[at] != '\\' && line[at] != '"')) return false;
            c = line[at];
        }
        out.push_back(c);
    }
    return false;
}

constexpr char kBadBytes[] = "hex takes bytes of 1 or 2 hex digits between commas";

// Each reader returns why the data cannot be read, or null when it was.
const char* ParseHexValue(std::string_view data, RegistryValue& value) {
    constexpr std::string_view kBinary = "hex:";
    constexpr std::string_view kTyped = "hex(";
    if (data.substr(0, kBinary.size()) == kBinary) {
        value.type = REG_BINARY;
        return ParseHexBytes(data.substr(kBinary.size()), value.data) ? nullptr : kBadBytes;
    }
    if (data.substr(0, kTyped.size()) != kTyped) return "unknown kind of value";
    data.remove_prefix(kTyped.size());
    std::size_t close = data.find("):");
    if (close == std::string_view::npos || !ParseHexNumber(data.substr(0, close), 8, value.type))
        return "hex(N): takes a type N of 1 to 8 hex digits";
    return ParseHexBytes(data.substr(close + 2), value.data) ? nullptr : kBadBytes;
}

const char* ParseData(std::string_view data, RegistryValue& value) {
    constexpr std::string_view kDword = "dword:";
    if (!data.empty() && data.front() == '"') {
        std::size_t at = 0;
        value.type = REG_SZ;
        value.text = true;
        if (ParseQuoted(data, at, value.data) && at == data.size()) return nullptr;
        return "a string ends at its closing quote and escapes only \\ and \"";
    }
    if (data.substr(0, kDword.size()) == kDword) {
        DWORD number;
        if (!ParseHexNumber(data.substr(kDword.size()), 8, number))
            return "dword: takes 1 to 8 hex digits";
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<char>(number >> shift));
        return nullptr;
    }
    return ParseHexValue(data, value);
}

void AppendQuoted(const std::string& text, std::string& out) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHex(DWORD number, const char* format, std::string& out) {
    char digits[9];
    std::snprintf(digits, sizeof(digits), format, static_cast<unsigned>(number));
    out += digits;
}

void AppendData(const RegistryValue& value, std::string& out) {
    if (value.text) {
        AppendQuoted(value.data, out);
        return;
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        out += "dword:";
        AppendHex(number, "%08x", out);
        return;
    }
    if (value.type == REG_BINARY) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(value.type, "%x", out);
        out += "):";
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        if (i > 0) out += ',';
        AppendHex(static_cast<unsigned char>(value.data[i]), "%02x", out);
    }
}

std::string ValueLine(const RegistryValue& value) {
    std::string line;
    if (value.name.empty())
        line += '@';
    else
        AppendQuoted(value.name, line);
    line += '=';
    AppendData(value, line);
    return line;
}

bool SameText(std::string_view a, std::string_view b) {
    return RegistryNamesEqual(std::string(a), std::string(b));
}

// The UTF-8 of UTF-16LE bytes; false when they are no UTF-16 text.
bool Utf16ToUtf8(std::string_view bytes, std::string& text) {
    if (bytes.size() % 2 != 0) return false;
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    for (std::size_t at = 0; at < units.size();) {
        char32_t c;
        at += DecodeUtf16(units.data() + at, units.size() - at, c);
        if (c == kInvalidCharacter) return false;
        AppendUtf8(c, text);
    }
    return true;
}

// The text came from UTF-16 or was made of it, so it is well-formed.
std::string Utf8ToUtf16(const std::string& text) {
    std::u16string units;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c;
        at += DecodeUtf8(text.data() + at, text.size() - at, c);
        AppendUtf16(c, units);
    }
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace

// Reads the file line by line into the tree, keeping every line.
class RegistryText::Reader {
public:
    Reader(RegistryText& file, RegistryKey& root) : file_(file), root_(root) {}

    void Read(std::vector<std::string>& physical) {
        for (std::size_t at = 1; at < physical.size();) {
            const std::size_t number = at + 1;
            std::string raw = std::move(physical[at++]);
            std::string_view line = TrimBlanks(raw);
            std::string joined;
            if (!line.empty() && line.back() == '\\' && line.front() != '[' && line.front() != ';')
                joined = JoinContinuations(physical, raw, at);
            AddLine(std::move(raw), number, joined);
        }
    }

private:
    enum class Section { None, Read, Skipped };

    // A line that reads as something of its own (a section, a value, a
    // comment, a blank) ends a hex list even after a backslash: a list cut
    // short by damage must not swallow what follows, nor what is written
    // after it when the file is changed.
    static bool MayContinue(const std::string& line) {
        const std::string_view text = TrimBlanks(line);
        return !text.empty() && text.front() != '[' && text.front() != '"' &&
               text.front() != '@' && text.front() != ';';
    }

    // A hex list goes on over the lines after it, each line but the last
    // ending in a backslash. Returns the line's text with them joined, or
    // empty when it is no hex list.
    static std::string JoinContinuations(const std::vector<std::string>& physical,
                                         std::string& raw, std::size_t& at) {
        std::string data(TrimBlanks(raw));
        std::size_t start = 0;
        std::string name;
        if (data.front() == '@')
            start = 1;
        else if (!ParseQuoted(data, start, name))
            return std::string();
        if (data.compare(start, 4, "=hex") != 0) return std::string();
        while (data.back() == '\\' && at < physical.size() && MayContinue(physical[at])) {
            data.pop_back();
            data += TrimBlanks(physical[at]);
            raw += '\n';
            raw += physical[at++];
        }
        return data;
    }

    void AddLine(std::string raw, std::size_t number, const std::string& joined) {
        Line line{std::move(raw), false, false, RegistryValue()};
        std::string_view text = TrimBlanks(line.raw);
        const std::string_view data = joined.empty() ? text : joined;
        const char* why = nullptr;
        line.blank = text.empty();
        line.opensSection = !text.empty() && text.front() == '[';
        const std::size_t index = file_.lines_.size();
        if (line.blank || text.front() == ';')
            ;
        else if (!IsRegistryText(line.raw))
            why = "it is not UTF-8 text";
        else if (line.opensSection)
            why = ReadSection(text, index, number);
        else if (section_ == Section::None)
            why = "no key is named above it";
        else if (section_ == Section::Read)
            why = ReadValue(data, index, line.value);
        if (why) Tell(number, std::string("cannot read this line (") + why + "); it is kept as it is");
        file_.lines_.push_back(std::move(line));
    }

    const char* ReadSection(std::string_view text, std::size_t index, std::size_t number) {
        section_ = Section::None;
        if (text.size() < 2 || text.back() != ']') return "a key line ends in ]";
        text = text.substr(1, text.size() - 2);
        const bool deletion = !text.empty() && text.front() == '-';
        if (deletion) text.remove_prefix(1);
        const std::string_view root = text.substr(0, text.find('\\'));
        if (!SameText(root, kRootName)) {
            if (!SameText(root.substr(0, kOtherRoots.size()), kOtherRoots))
                return "not a key of HKEY_CURRENT_USER";
            section_ = Section::Skipped;
            Tell(number, "a key outside HKEY_CURRENT_USER is not read; it is kept as it is, "
                         "with its values");
            return nullptr;
        }
        std::vector<std::string> names;
        if (root.size() < text.size() &&
            AppendKeyPath(std::string(text.substr(root.size() + 1)), names) != ERROR_SUCCESS) {
            section_ = Section::Skipped;
            return "not a key path of HKEY_CURRENT_USER";
        }
        if (deletion) {
            Delete(names);
            return nullptr;
        }
        bool created;
        key_ = &ProvideKey(root_, names, created);
        key_->SetLine(index);
        section_ = Section::Read;
        return nullptr;
    }

    void Delete(std::vector<std::string> names) {
        if (names.empty()) {
            root_.Clear();
            return;
        }
        const std::string last = names.back();
        names.pop_back();
        if (RegistryKey* parent = FindKey(root_, names)) parent->RemoveSubKey(last);
    }

    const char* ReadValue(std::string_view data, std::size_t index, RegistryValue& value) {
        std::size_t at = 0;
        if (data.front() == '@')
            ++at;
        else if (!ParseQuoted(data, at, value.name))
            return "a value line starts with a quoted name or @";
        if (CheckValueName(value.name) != ERROR_SUCCESS) return "the value's name is too long";
        if (at >= data.size() || data[at] != '=') return "the value's name is followed by =";
        data.remove_prefix(at + 1);
        if (data == "-") {
            key_->RemoveValue(value.name);
            value = RegistryValue();
            return nullptr;
        }
        if (const char* why = ParseData(data, value)) {
            value = RegistryValue();
            return why;
        }
        value.line = index;
        key_->SetValue(value);
        return nullptr;
    }

    void Tell(std::size_t number, std::string what) {
        file_.notices_.push_back(RegistryNotice{number, std::move(what)});
    }

    RegistryText& file_;
    RegistryKey& root_;
    RegistryKey* key_ = nullptr;
    Section section_ = Section::None;
};

// Puts the tree into the lines read: changed values in place of their lines,
// new values at the end of their key's last section, new keys at the end.
class RegistryText::Writer {
public:
    explicit Writer(const std::vector<Line>& lines)
        : lines_(lines), replaced_(lines.size()), added_(lines.size()) {}

    void Walk(const RegistryKey& key, const std::string& path) {
        std::string unplaced;
        for (const RegistryValue& value : key.Values()) {
            if (value.line != kNotInFile) {
                if (Changed(lines_[value.line].value, value)) replaced_[value.line] = ValueLine(value);
            } else if (key.Line() != kNotInFile) {
                added_[SectionEnd(key.Line())] += ValueLine(value) + '\n';
            } else {
                unplaced += ValueLine(value) + '\n';
            }
        }
        // A key that only leads to others needs no section of its own, except
        // in a new file, which names every key as the layer always has.
        if (key.Line() == kNotInFile &&
            (lines_.empty() || !unplaced.empty() || key.SubKeys().empty()))
            appended_ += '[' + path + "]\n" + unplaced + '\n';
        for (const std::unique_ptr<RegistryKey>& subKey : key.SubKeys())
            Walk(*subKey, path + '\\' + subKey->Name());
    }

    std::string Text() const {
        std::string text;
        if (lines_.empty()) text = std::string(kHeader) + "\n\n";
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            text += replaced_[i] ? *replaced_[i] : lines_[i].raw;
            text += '\n';
            text += added_[i];
        }
        if (!lines_.empty() && !appended_.empty() && !(lines_.back().blank && added_.back().empty()))
            text += '\n';
        return text + appended_;
    }

private:
    // The line may spell the name in another case than the key keeps it.
    static bool Changed(const RegistryValue& read, const RegistryValue& now) {
        return read.type != now.type || read.text != now.text || read.data != now.data;
    }

    // The last line of the section that `start` opens that is not blank.
    std::size_t SectionEnd(std::size_t start) const {
        std::size_t end = start;
        for (std::size_t i = start + 1; i < lines_.size() && !lines_[i].opensSection; ++i)
            if (!lines_[i].blank) end = i;
        return end;
    }

    const std::vector<Line>& lines_;
    std::vector<std::optional<std::string>> replaced_;
    std::vector<std::string> added_;
    std::string appended_;
};

bool RegistryText::Parse(const std::string& bytes, RegistryKey& root) {
    lines_.clear();
    notices_.clear();
    std::string_view body = bytes;
    std::string decoded;
    encoding_ = Encoding::Utf8;
    if (body.substr(0, kUtf16Mark.size()) == kUtf16Mark) {
        encoding_ = Encoding::Utf16;
        if (!Utf16ToUtf8(body.substr(kUtf16Mark.size()), decoded)) return false;
        body = decoded;
    } else if (body.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        encoding_ = Encoding::Utf8WithMark;
        body.remove_prefix(kUtf8Mark.size());
    }
    crlf_ = false;
    // Nothing but blank lines is a registry still empty.
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) return true;
    std::vector<std::string> physical;
    for (std::size_t start = 0; start < body.size();) {
        std::size_t end = body.find('\n', start);
        if (end == std::string_view::npos) end = body.size();
        std::string line(body.substr(start, end - start));
        if (physical.empty()) crlf_ = !line.empty() && line.back() == '\r';
        if (crlf_ && !line.empty() && line.back() == '\r') line.pop_back();
        physical.push_back(std::move(line));
        start = end + 1;
    }
    const std::string_view first = TrimBlanks(physical[0]);
    if (first != kHeader && first != kOldHeader) return false;
    lines_.reserve(physical.size());
    lines_.push_back(Line{physical[0], false, false, RegistryValue()});
    Reader(*this, root).Read(physical);
    return true;
}

std::string RegistryText::Format(const RegistryKey& root) const {
    Writer writer(lines_);
    writer.Walk(root, std::string(kRootName));
    std::string text = writer.Text();
    if (crlf_) {
        std::string ended;
        for (char c : text) {
            if (c == '\n') ended += '\r';
            ended += c;
        }
        text.swap(ended);
    }
    if (encoding_ == Encoding::Utf16) return std::string(kUtf16Mark) + Utf8ToUtf16(text);
    if (encoding_ == Encoding::Utf8WithMark) return std::string(kUtf8Mark) + text;
    return text;
}

}  // namespace mvx
