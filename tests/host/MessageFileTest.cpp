#include "host/dialogs/MessageFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "hostapi/MessageNumbers.h"

namespace {

// Counts the printf conversions in `format`; "%%" is none.
int Conversions(const std::string& format, char conversion, int* others) {
    int count = 0;
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (format[i] == conversion)
            ++count;
        else if (format[i] != '%')
            ++*others;
    }
    return count;
}

TEST(MessageFile, TheShippedFileHasATextForEveryMessage) {
    MessageFile messages = MessageFile::LoadDefault();
    ASSERT_EQ(messages.Count(), 23);
    for (int number = 0; number < 23; ++number) {
        ASSERT_NE(messages.Text(number), nullptr);
        if (number != 2 && number != 10) {
            EXPECT_STRNE(messages.Text(number), "") << "message " << number;
        }
    }
    EXPECT_EQ(messages.Text(23), nullptr);
    EXPECT_EQ(messages.Text(-1), nullptr);
}

TEST(MessageFile, TheQuestionsAreFormatsWithExactlyTheirOneArgument) {
    // The plug-in hands these to printf with one name or one count.
    MessageFile messages = MessageFile::LoadDefault();
    int others = 0;
    EXPECT_EQ(Conversions(messages.Text(kMsgDeleteOneQuestion), 's', &others), 1);
    EXPECT_EQ(Conversions(messages.Text(kMsgDeleteManyQuestion), 'd', &others), 1);
    EXPECT_EQ(others, 0);
    for (int number = 0; number < messages.Count(); ++number) {
        if (number == kMsgDeleteOneQuestion || number == kMsgDeleteManyQuestion)
            continue;
        EXPECT_EQ(std::string(messages.Text(number)).find('%'), std::string::npos)
            << "message " << number;
    }
}

class MessageFileParsing : public ::testing::Test {
protected:
    void TearDown() override { unlink(path.c_str()); }

    // Loads a file of `content`; the error text when it is refused.
    std::string LoadError(const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
        try {
            loaded = MessageFile::Load(path);
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return "";
    }

    std::string path = ::testing::TempDir() + "MessageFileParsing_" +
                       std::to_string(getpid()) + ".msg";
    MessageFile loaded;
};

TEST_F(MessageFileParsing, ReadsQuotedTextsSkippingCommentsAndBlankLines) {
    ASSERT_EQ(LoadError("# comment\n"
                        "\n"
                        "0 \"OK\"\r\n"
                        "   # indented comment\n"
                        "1\t\" padded \"  \n"
                        "2 \"\"\n"
                        "3 \"say \\\"hi\\\" to C:\\\\\"\n"),
              "");
    ASSERT_EQ(loaded.Count(), 4);
    EXPECT_STREQ(loaded.Text(0), "OK");
    EXPECT_STREQ(loaded.Text(1), " padded ");
    EXPECT_STREQ(loaded.Text(2), "");
    EXPECT_STREQ(loaded.Text(3), "say \"hi\" to C:\\");
}

// Where a text's runs meet its escapes, its closing quote and the file's end.
TEST_F(MessageFileParsing, ReadsEachTextWholeAtTheEdgesOfItsRuns) {
    const struct {
        const char* line;
        const char* text;
    } cases[] = {
        {"0 \"last line, no newline\"", "last line, no newline"},
        {"0 \"\\\\\"", "\\"},
        {"0 \"\\\"\\\\\\\"\"\r\n", "\"\\\""},
        {"0 \"a\\\"b\" \t\r", "a\"b"},
        {"0 \"\"", ""},
    };
    for (const auto& each : cases) {
        ASSERT_EQ(LoadError(each.line), "") << each.line;
        ASSERT_EQ(loaded.Count(), 1) << each.line;
        EXPECT_STREQ(loaded.Text(0), each.text) << each.line;
    }
}

TEST_F(MessageFileParsing, RefusesFaultsNamingFileAndLine) {
    const std::string ok = "0 \"OK\"\n";
    EXPECT_EQ(LoadError(ok + "2 \"gap\"\n"), path + ":2: expected message number 1");
    EXPECT_EQ(LoadError(ok + "0 \"again\"\n"), path + ":2: expected message number 1");
    EXPECT_EQ(LoadError(ok + "01 \"padded number\"\n"), path + ":2: expected message number 1");
    EXPECT_EQ(LoadError("0\"no blank\"\n"),
              path + ":1: expected a blank and a text in double quotes");
    EXPECT_EQ(LoadError("0 unquoted\n"),
              path + ":1: expected a blank and a text in double quotes");
    EXPECT_EQ(LoadError("0 \"open\n"), path + ":1: the text has no closing double quote");
    EXPECT_EQ(LoadError("0 \"ends in \\\n"),
              path + ":1: only \\\" and \\\\ may follow a backslash");
    EXPECT_EQ(LoadError("0 \"tab \\t\"\n"),
              path + ":1: only \\\" and \\\\ may follow a backslash");
    EXPECT_EQ(LoadError("0 \"OK\" trailing\n"), path + ":1: unexpected characters after the text");
    EXPECT_EQ(LoadError("0 \"quote \\\""), path + ":1: the text has no closing double quote");
    EXPECT_EQ(LoadError(ok + "1 \"ends in \\"),
              path + ":2: only \\\" and \\\\ may follow a backslash");
}

TEST(MessageFile, AFileThatCannotBeReadIsRefusedWithItsPath) {
    const std::string folder = ::testing::TempDir();
    for (const std::string& path : {std::string("/nonexistent/en.msg"), folder}) {
        try {
            MessageFile::Load(path);
            ADD_FAILURE() << "loaded " << path;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "cannot read message file " + path);
        }
    }
}

}  // namespace
