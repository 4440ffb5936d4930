// The plug-in on a real NTFS volume mounted by ntfs-3g, driven through the
// loaded module as the host drives it. Skipped, with the reason printed, only
// where FUSE cannot be used.
#include <sys/xattr.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "NtfsVolumeSupport.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"

namespace {

constexpr int kOpenFromCommandLine = 4;

void AddStream(const std::string& path, const std::string& name, size_t size) {
    std::string value(size, 's');
    ASSERT_EQ(setxattr(path.c_str(), ("user." + name).c_str(), value.data(), value.size(), 0), 0)
        << name;
}

// The named streams as the volume lists them, with their sizes.
std::vector<std::pair<std::string, long long>> ListedStreams(const std::string& path) {
    std::vector<std::pair<std::string, long long>> streams;
    std::string names(listxattr(path.c_str(), nullptr, 0), '\0');
    names.resize(listxattr(path.c_str(), &names[0], names.size()));
    for (size_t at = 0; at < names.size(); at += names.find('\0', at) - at + 1) {
        std::string name = names.c_str() + at;
        if (name.rfind("user.", 0) != 0) continue;
        streams.emplace_back(name.substr(5), getxattr(path.c_str(), name.c_str(), nullptr, 0));
    }
    return streams;
}

TEST(NtfsVolume, StreamsListWithTheirExactSizes) {
    NtfsVolume volume;
    if (!volume.Unavailable().empty()) GTEST_SKIP() << volume.Unavailable();

    const std::string path = volume.Root() + "/report.txt";
    std::ofstream(path, std::ios::binary) << "0123456789";
    AddStream(path, "notes", 7);
    AddStream(path, "Zone.Identifier", 26);
    AddStream(path, "big", 60000);
    AddStream(path, "empty", 0);
    const long long descriptorSize = getxattr(path.c_str(), "system.ntfs_acl", nullptr, 0);
    ASSERT_GT(descriptorSize, 0);

    ScriptedUi ui;
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    const PluginEntryPoints& entries = session.Entries();
    HANDLE panel = entries.OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(path.c_str()));
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
    PanelItem* items = nullptr;
    int count = 0;
    ASSERT_EQ(entries.GetFindData(panel, &items, &count, 0), 1);

    std::vector<std::pair<std::string, long long>> expected = {{"{Data}", 10},
                                                               {"{Security_Data}", descriptorSize}};
    for (const auto& stream : ListedStreams(path)) expected.push_back(stream);
    ASSERT_EQ(count, static_cast<int>(expected.size()));
    for (int i = 0; i < count; ++i) {
        const PanelItem& item = items[i];
        long long size = (static_cast<long long>(item.sizeHigh) << 32) | item.sizeLow;
        EXPECT_EQ(std::string(item.fileName), expected[i].first) << "item " << i;
        EXPECT_EQ(size, expected[i].second) << expected[i].first;
    }
    entries.FreeFindData(panel, items, count);
    entries.ClosePlugin(panel);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

}  // namespace
