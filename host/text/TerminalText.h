// Text shown to a user: on the terminal, or in the text output of a command,
// which lands on one. A control character would act on the terminal and bytes
// it cannot read would garble it, so both are shown as escapes; the rest is
// converted to the charset of the user's locale, and what that charset cannot
// carry is shown as an escape too.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>

class TerminalCharset {
public:
    // `codeset` as iconv names it, such as nl_langinfo(CODESET) gives it; one
    // iconv does not know reads as ASCII.
    explicit TerminalCharset(const std::string& codeset);
    ~TerminalCharset();
    TerminalCharset(const TerminalCharset&) = delete;
    TerminalCharset& operator=(const TerminalCharset&) = delete;

    // The charset of the program's locale (LC_CTYPE) as it is at the first call.
    static const TerminalCharset& OfLocale();

    // `utf8Text`, still UTF-8, with these shown as escapes: tab, line feed and
    // carriage return as \t, \n and \r; other control characters (C0, DEL)
    // and bytes that are not UTF-8 as \xNN; C1 control characters and
    // characters this charset cannot carry as \uNNNN or \UNNNNNNNN.
    std::string Escape(const std::string& utf8Text) const;
    // Escape()d text in this charset.
    std::string Encode(const std::string& escaped) const;
    // Encode(Escape(utf8Text)).
    std::string Show(const std::string& utf8Text) const { return Encode(Escape(utf8Text)); }
    // What a user typed in this charset, as UTF-8; false when it is not text
    // of this charset.
    bool Read(const std::string& typed, std::string& utf8Text) const;

private:
    bool Carries(const std::string& character) const;

    bool isUtf8;
    iconv_t toCharset;
    iconv_t fromCharset;
};

// The columns Escape()d text takes on a terminal.
size_t TerminalWidth(const std::string& escaped);

// `utf8` as the locale's terminal shows it: TerminalCharset::OfLocale().Show().
std::string ForTerminal(const std::string& utf8);
