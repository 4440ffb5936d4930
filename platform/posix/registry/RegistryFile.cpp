#include "platform/posix/registry/RegistryFile.h"

#include "platform/posix/registry/RegistryNames.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace mvx {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The lines of the text, without their line ends and trailing blanks.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

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

bool ParseHexValue(std::string_view data, RegistryValue& value) {
    constexpr std::string_view kBinary = "hex:";
    constexpr std::string_view kTyped = "hex(";
    if (data.substr(0, kBinary.size()) == kBinary) {
        value.type = REG_BINARY;
        return ParseHexBytes(data.substr(kBinary.size()), value.data);
    }
    if (data.substr(0, kTyped.size()) != kTyped) return false;
    data.remove_prefix(kTyped.size());
    std::size_t close = data.find("):");
    if (close == std::string_view::npos) return false;
    return ParseHexNumber(data.substr(0, close), 8, value.type) &&
           ParseHexBytes(data.substr(close + 2), value.data);
}

bool ParseData(std::string_view data, RegistryValue& value) {
    constexpr std::string_view kDword = "dword:";
    if (!data.empty() && data.front() == '"') {
        std::size_t at = 0;
        value.type = REG_SZ;
        value.text = true;
        return ParseQuoted(data, at, value.data) && at == data.size();
    }
    if (data.substr(0, kDword.size()) == kDword) {
        DWORD number;
        if (!ParseHexNumber(data.substr(kDword.size()), 8, number)) return false;
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<char>(number >> shift));
        return true;
    }
    return ParseHexValue(data, value);
}

class RegistryTextParser {
public:
    RegistryTextParser(std::vector<std::string_view> lines, RegistryKey& root)
        : lines_(std::move(lines)), root_(root) {}

    bool Parse() {
        if (lines_.empty() || lines_[0] != kHeader) return false;
        for (next_ = 1; next_ < lines_.size();) {
            std::string_view line = lines_[next_++];
            if (line.empty()) continue;
            bool parsed = line.front() == '[' ? ParseSection(line) : ParseValue(line);
            if (!parsed) return false;
        }
        return true;
    }

private:
    bool ParseSection(std::string_view line) {
        if (line.back() != ']') return false;
        std::string_view path = line.substr(1, line.size() - 2);
        std::vector<std::string> names;
        if (path != kRootName) {
            if (path.substr(0, kRootName.size() + 1) != std::string(kRootName) + '\\') return false;
            path.remove_prefix(kRootName.size() + 1);
            if (AppendKeyPath(std::string(path), names) != ERROR_SUCCESS) return false;
        }
        bool created;
        section_ = &ProvideKey(root_, names, created);
        return true;
    }

    bool ParseValue(std::string_view line) {
        if (!section_) return false;
        RegistryValue value;
        std::size_t at = 0;
        if (line.front() == '@')
            ++at;
        else if (!ParseQuoted(line, at, value.name))
            return false;
        if (CheckValueName(value.name) != ERROR_SUCCESS) return false;
        if (at >= line.size() || line[at] != '=') return false;
        std::string data(line.substr(at + 1));
        if (!JoinContinuations(data) || !ParseData(data, value)) return false;
        section_->SetValue(std::move(value));
        return true;
    }

    // Long hex lists go on over several lines, each but the last ending in a
    // backslash and the next ones indented.
    bool JoinContinuations(std::string& data) {
        if (data.substr(0, 3) != "hex") return true;
        while (!data.empty() && data.back() == '\\') {
            if (next_ == lines_.size()) return false;
            data.pop_back();
            data += TrimBlanks(lines_[next_++]);
        }
        return true;
    }

    std::vector<std::string_view> lines_;
    RegistryKey& root_;
    RegistryKey* section_ = nullptr;
    std::size_t next_ = 0;
};

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

void AppendKey(const RegistryKey& key, const std::string& path, std::string& out) {
    out += '[';
    out += path;
    out += "]\n";
    for (const RegistryValue& value : key.Values()) {
        if (value.name.empty())
            out += '@';
        else
            AppendQuoted(value.name, out);
        out += '=';
        AppendData(value, out);
        out += '\n';
    }
    out += '\n';
    for (const std::unique_ptr<RegistryKey>& subKey : key.SubKeys())
        AppendKey(*subKey, path + '\\' + subKey->Name(), out);
}

}  // namespace

bool ParseRegistryText(const std::string& text, RegistryKey& root) {
    std::string_view body = text;
    if (body.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        body.remove_prefix(kByteOrderMark.size());
    bool parsed = IsRegistryText(text) && RegistryTextParser(SplitLines(body), root).Parse();
    if (!parsed) root.Clear();
    return parsed;
}

std::string FormatRegistryText(const RegistryKey& root) {
    std::string text(kHeader);
    text += "\n\n";
    AppendKey(root, std::string(kRootName), text);
    return text;
}

}  // namespace mvx
