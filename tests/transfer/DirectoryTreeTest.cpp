// How a destination is split into the part that is never created and the
// directories below it, in single- and double-byte code pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/text/CodePages.h"
#include "transfer/DirectoryTree.h"

namespace {

using Texts = std::vector<std::string>;

struct AnsiPage {
    explicit AnsiPage(UINT page) { mvx::SetCodePages(page, 0); }
    ~AnsiPage() { mvx::SetCodePages(saved, 0); }
    UINT saved = GetACP();
};

TEST(DirectoryTreeTest, APathSplitsIntoRootAndComponents) {
    struct Case {
        UINT page;
        const char* path;
        const char* root;
        Texts components;
    };
    const Case cases[] = {
        {65001, "E:\\out", "E:\\", {"out"}},
        {65001, "E:\\a\\\\b\\", "E:\\", {"a", "", "b", ""}},
        {65001, "D:x\\y/z", "D:", {"x", "y", "z"}},
        {65001, "D:/x", "D:/", {"x"}},
        {65001, "\\out\\", "\\", {"out", ""}},
        {65001, "", "", {}},
        {65001, "E:", "E:", {}},
        {65001, "\\\\server\\share\\x\\", "\\\\server\\share\\", {"x", ""}},
        {65001, "\\\\server\\share", "\\\\server\\share", {}},
        // The second byte of the first character is a backslash in any other page.
        {932, "E:\\\x83\x5C\\x", "E:\\", {"\x83\x5C", "x"}},
        {1252, "E:\\\x83\x5C\\x", "E:\\", {"\x83", "", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        AnsiPage page(c.page);
        PathParts parts;
        SplitPath(c.path, parts);
        EXPECT_STREQ(parts.root.Ptr(), c.root);
        Texts components;
        for (int i = 0; i < parts.components.Size(); ++i)
            components.push_back(parts.components[i]->Ptr());
        EXPECT_EQ(components, c.components);
    }
}

}  // namespace
