// Message texts with one value filled in: whatever the host's text holds, the
// value goes into the one expected place and nothing is written beyond the
// buffer. Characters are UTF-8, the layer's ANSI code page.
#include "transfer/HostTextFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// The text of `format` with `name` (or `number` when `name` is null) in
// `size` bytes, after checking that the bytes beyond were left alone.
std::string Formatted(const std::string& format, const char* name, int number, int size = 1024) {
    std::string buffer(size + 16, '#');
    if (name)
        FormatWithName(&buffer[0], size, format.c_str(), name);
    else
        FormatWithNumber(&buffer[0], size, format.c_str(), number);
    EXPECT_EQ(buffer.substr(size), std::string(16, '#')) << format;
    return buffer.c_str();
}

TEST(HostTextFormatTest, OnlyTheFirstExpectedConversionTakesTheValue) {
    struct Case {
        const char* format;
        const char* name;  // null: the number 5 is filled in
        const char* expected;
    };
    const Case cases[] = {
        {"Delete the stream \"%s\"?", "notes", "Delete the stream \"notes\"?"},
        {"%s %s", "notes", "notes %s"},
        {"%n%s%n", "notes", "%nnotes%n"},
        {"%d: %5s %.2s %s", "notes", "%d: %5s %.2s notes"},
        {"100%% %%s %s %", "notes", "100% %s notes %"},
        {"[%s]", "%s%n", "[%s%n]"},
        {"", "notes", ""},
        {"Delete %d streams?", nullptr, "Delete 5 streams?"},
        {"%s %n %i %d %d", nullptr, "%s %n %i 5 %d"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Formatted(c.format, c.name, 5), c.expected) << c.format;
    EXPECT_EQ(Formatted("%d", nullptr, INT_MIN), "-2147483648");
}

TEST(HostTextFormatTest, TheTextIsCutToTheBufferBetweenCharacters) {
    const std::string e = "\xC3\xA9";  // two bytes
    struct Case {
        std::string format;
        std::string name;
        std::string expected;  // in 8 bytes
    };
    const Case cases[] = {
        {"%s", "abcdefg", "abcdefg"},
        {"%s", "abcdefgh", "abcdefg"},
        {"abcd%sxyz", "efg", "abcdefg"},
        {"%s", "abcde" + e, "abcde" + e},
        {"%s", "abcdef" + e, "abcdef"},
        // Once a character is left out, nothing after it comes in.
        {"%s!", "abcdef" + e, "abcdef"},
        {"abcdef" + e + "%s", "x", "abcdef"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Formatted(c.format, c.name.c_str(), 0, 8), c.expected) << c.name;
    EXPECT_EQ(Formatted("%s", "a", 0, 1), "");
    EXPECT_EQ(Formatted("%d", nullptr, -12345, 6), "-1234");
    // The question's buffer holds 1023 bytes of text.
    const std::string name(1024, 'n');
    EXPECT_EQ(Formatted("%s", name.c_str() + 1, 0), name.substr(1));
    EXPECT_EQ(Formatted("%s", name.c_str(), 0), name.substr(1));
}

}  // namespace
