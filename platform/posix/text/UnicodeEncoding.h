// Reading and writing one character at a time in UTF-8 and UTF-16, strictly:
// every code page conversion of the layer goes through these, so they alone
// decide what counts as a well-formed character.
#pragma once

#include <cstddef>
#include <string>

namespace mvx {

// Stands for a sequence that is not a character.
constexpr char32_t kInvalidCharacter = 0xFFFFFFFFu;
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads the character at the start of `text` (count > 0 bytes) and returns the
// bytes it spans. An ill-formed sequence yields kInvalidCharacter and spans its
// longest well-formed prefix, at least one byte, so a decoder resumes at the
// byte that broke the sequence (overlong forms, encoded surrogates and values
// above U+10FFFF are ill-formed).
std::size_t DecodeUtf8(const char* text, std::size_t count, char32_t& character);

// Reads the character at the start of `text` (count > 0 units) and returns the
// units it spans; a surrogate without its partner yields kInvalidCharacter.
std::size_t DecodeUtf16(const char16_t* text, std::size_t count, char32_t& character);

// Append a Unicode scalar value (no surrogate, at most U+10FFFF).
void AppendUtf8(char32_t character, std::string& out);
void AppendUtf16(char32_t character, std::u16string& out);

bool IsScalarValue(char32_t character);

}  // namespace mvx
