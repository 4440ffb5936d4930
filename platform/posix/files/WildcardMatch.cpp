#include "platform/posix/files/WildcardMatch.h"

#include "platform/posix/text/UnicodeEncoding.h"

#include <cwctype>
#include <locale.h>
#include <vector>

namespace mvx {
namespace {

// What each pattern character becomes before matching. FindFirstFile turns
// "?" into DosQm, "*" before a "." into DosStar, and a "." before a wildcard
// or at the end into DosDot.
enum class Token { Literal, Star, DosStar, DosQm, DosDot };

struct PatternItem {
    Token token;
    char32_t character;  // for Literal
};

// Bytes that are not UTF-8 stand for themselves, apart from every character.
constexpr char32_t kRawByte = 0x110000;

// Windows compares names in upper case over all of Unicode, which the "C"
// locale does not know; C.UTF-8 does. Without it, ASCII still folds.
char32_t Upper(char32_t c) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t());
    if (c >= kRawByte) return c;
    if (unicode) return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode));
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

std::u32string Characters(const std::string& text) {
    std::u32string characters;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = kInvalidCharacter;
        const std::size_t length = DecodeUtf8(text.data() + i, text.size() - i, c);
        if (c == kInvalidCharacter) {
            for (std::size_t k = 0; k < length; ++k)
                characters += kRawByte + static_cast<unsigned char>(text[i + k]);
        } else {
            characters += Upper(c);
        }
        i += length;
    }
    return characters;
}

std::vector<PatternItem> Translate(const std::u32string& pattern) {
    std::vector<PatternItem> items;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        const char32_t next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
        if (c == '?')
            items.push_back({Token::DosQm, 0});
        else if (c == '*')
            items.push_back({next == '.' ? Token::DosStar : Token::Star, 0});
        else if (c == '.' && (next == '?' || next == '*' || next == 0))
            items.push_back({Token::DosDot, 0});
        else
            items.push_back({Token::Literal, c});
    }
    return items;
}

class Matcher {
public:
    Matcher(std::vector<PatternItem> pattern, std::u32string name)
        : pattern_(std::move(pattern)),
          name_(std::move(name)),
          lastDot_(name_.rfind('.')),
          seen_((pattern_.size() + 1) * (name_.size() + 1), 0) {}

    bool Matches() { return Match(0, 0); }

private:
    // Whether pattern_[p...] matches name_[n...]; every pair is decided once,
    // so runs of stars cannot make the search explode.
    bool Match(std::size_t p, std::size_t n) {
        char& state = seen_[p * (name_.size() + 1) + n];
        if (state == 0) state = Decide(p, n) ? 1 : 2;
        return state == 1;
    }

    bool Decide(std::size_t p, std::size_t n) {
        const bool end = n == name_.size();
        if (p == pattern_.size()) return end;
        const PatternItem& item = pattern_[p];
        switch (item.token) {
        case Token::Star:
            return Match(p + 1, n) || (!end && Match(p, n + 1));
        case Token::DosStar:  // anything but the last dot of the name
            return Match(p + 1, n) || (n < EndOfBase() && Match(p, n + 1));
        case Token::DosQm:  // one character, or none at a dot or the end
            if (end || name_[n] == '.') return Match(EndOfQms(p), n);
            return Match(p + 1, n + 1);
        case Token::DosDot:  // a dot, or nothing past the end
            if (end) return Match(p + 1, n);
            return name_[n] == '.' && Match(p + 1, n + 1);
        case Token::Literal:
            return !end && name_[n] == item.character && Match(p + 1, n + 1);
        }
        return false;
    }

    std::size_t EndOfBase() const {
        return lastDot_ == std::u32string::npos ? name_.size() : lastDot_;
    }

    std::size_t EndOfQms(std::size_t p) const {
        while (p < pattern_.size() && pattern_[p].token == Token::DosQm) ++p;
        return p;
    }

    std::vector<PatternItem> pattern_;
    std::u32string name_;
    std::size_t lastDot_;
    std::vector<char> seen_;
};

}  // namespace

bool HasWildcards(const std::string& pattern) {
    return pattern.find_first_of("*?") != std::string::npos;
}

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    return Matcher(Translate(Characters(pattern)), Characters(name)).Matches();
}

}  // namespace mvx
