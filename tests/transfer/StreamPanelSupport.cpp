#include "tests/transfer/StreamPanelSupport.h"

#include <sys/xattr.h>

#include <cstring>

#include "platform/posix/files/DriveMap.h"

StreamPanelTest::StreamPanelTest() {
    mvx::MapDrive('E', target.Path());
}

StreamPanelTest::~StreamPanelTest() {
    Close();
}

void StreamPanelTest::Open(const Streams& streams, const std::string& leaf,
                           const std::string& data) {
    Close();
    path = temp.AddFile(leaf, data);
    for (const auto& [name, contents] : streams)
        ASSERT_EQ(setxattr(path.c_str(), ("user." + name).c_str(), contents.data(),
                           contents.size(), 0),
                  0);
    std::string name = "D:\\" + leaf;
    panel = entries.OpenPlugin(4, reinterpret_cast<INT_PTR>(name.c_str()));
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
}

void StreamPanelTest::Close() {
    if (panel != INVALID_HANDLE_VALUE)
        entries.ClosePlugin(panel);
    panel = INVALID_HANDLE_VALUE;
}

std::vector<PanelItem> StreamPanelTest::Items() {
    PanelItem* block = nullptr;
    int count = 0;
    EXPECT_EQ(entries.GetFindData(panel, &block, &count, 0), 1);
    std::vector<PanelItem> items(block, block + count);
    entries.FreeFindData(panel, block, count);
    return items;
}

StreamPanelTest::Texts StreamPanelTest::Names() {
    Texts names;
    for (const PanelItem& item : Items())
        names.push_back(item.fileName);
    return names;
}

std::vector<PanelItem> StreamPanelTest::Selection(const Texts& names) {
    std::vector<PanelItem> listed = Items(), chosen;
    for (const std::string& name : names) {
        if (name[0] == '#') {
            chosen.push_back(listed[0]);
            chosen.back().itemIndex = std::stoul(name.substr(1));
        }
        for (const PanelItem& item : listed) {
            if (name == item.fileName)
                chosen.push_back(item);
        }
    }
    return chosen;
}

StreamPanelTest::Streams StreamPanelTest::StreamsOf(const std::string& file) {
    std::vector<char> names(65536);
    ssize_t size = listxattr(file.c_str(), names.data(), names.size());
    Streams streams;
    for (ssize_t at = 0; at < size; at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        if (std::strncmp(name, "user.", 5) != 0)
            continue;
        std::vector<char> value(65536);
        ssize_t length = getxattr(file.c_str(), name, value.data(), value.size());
        streams[name + 5] = std::string(value.data(), length < 0 ? 0 : length);
    }
    return streams;
}

StreamPanelTest::Texts StreamPanelTest::Boxes() {
    Texts shown;
    for (; boxesSeen < ui.MessageBoxes().size(); ++boxesSeen) {
        const ScriptedUi::MessageBoxCall& box = ui.MessageBoxes()[boxesSeen];
        std::string text = std::to_string(box.flags) + "/" + std::to_string(box.buttonCount);
        for (size_t i = 0; i < box.lines.size(); ++i)
            text += (i == 0 ? " " : "|") + box.lines[i];
        shown.push_back(text);
    }
    return shown;
}
