// FormatMessageA for system messages: the texts, the buffer protocol and the
// layer's own codes.
#include "platform/posix/core/LayerErrors.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

namespace {

constexpr DWORD kFromSystem = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

TEST(SystemMessages, TextsFitTheCallersBufferOrFail) {
    const std::string denied = "Access is denied.\r\n";
    const DWORD length = static_cast<DWORD>(denied.size());
    struct Case {
        DWORD flags;
        DWORD code;
        DWORD size;       // of the caller's buffer
        DWORD result;     // characters, without the terminator
        DWORD lastError;  // when the result is 0
        std::string text;
    };
    const Case cases[] = {
        {kFromSystem, ERROR_ACCESS_DENIED, length + 1, length, 0, denied},
        {kFromSystem, ERROR_ACCESS_DENIED, length, 0, ERROR_INSUFFICIENT_BUFFER, ""},
        {kFromSystem, ERROR_ACCESS_DENIED, 0, 0, ERROR_INSUFFICIENT_BUFFER, ""},
        {kFromSystem, 0xDEADBEEF, 100, 0, ERROR_MR_MID_NOT_FOUND, ""},
        {FORMAT_MESSAGE_FROM_STRING, ERROR_ACCESS_DENIED, 100, 0, ERROR_INVALID_PARAMETER, ""},
        {0, ERROR_ACCESS_DENIED, 100, 0, ERROR_INVALID_PARAMETER, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " into " + std::to_string(c.size));
        char buffer[128] = "untouched";
        SetLastError(NO_ERROR);
        EXPECT_EQ(FormatMessageA(c.flags, nullptr, c.code, 0, buffer, c.size, nullptr), c.result);
        if (c.result == 0) {
            EXPECT_EQ(GetLastError(), c.lastError);
            EXPECT_STREQ(buffer, "untouched");
        } else {
            EXPECT_EQ(std::string(buffer), c.text);
        }
    }
}

// Every code the layer sets on a stream or name failure has a text, and the
// layer's own code says what the user can do about it.
TEST(SystemMessages, EveryLayerCodeHasAText) {
    const DWORD codes[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,    ERROR_SHARING_VIOLATION,
                           ERROR_DISK_FULL,      ERROR_FILE_TOO_LARGE,    ERROR_INVALID_NAME,
                           ERROR_BAD_NETPATH,    ERROR_NO_UNICODE_TRANSLATION,
                           mvx::kErrorStreamBeyondAttribute, mvx::kErrorRegistryNotAFile,
                           mvx::kErrorSpecialFile, mvx::kErrorStreamNameNotUtf8,
                           mvx::kErrorAttributeListTooLarge, mvx::kErrorSourceChanged,
                           mvx::kErrorRegistryNotRegistryText, mvx::kErrorStreamNameHasNoPath,
                           mvx::kErrorStreamNameIsSambas};
    // The layer's own codes are told apart by their numbers alone.
    EXPECT_EQ(std::set<DWORD>(std::begin(codes), std::end(codes)).size(), std::size(codes));
    for (DWORD code : codes) {
        char* text = nullptr;
        const DWORD length = FormatMessageA(kFromSystem | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                                            code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
        ASSERT_GT(length, 2u) << code;
        EXPECT_EQ(std::string(text + length - 2), "\r\n") << code;
        if (code == mvx::kErrorStreamBeyondAttribute) {
            EXPECT_NE(std::string(text).find("streams_interface=windows"), std::string::npos);
        }
        EXPECT_EQ(LocalFree(text), nullptr);
    }
}

}  // namespace
