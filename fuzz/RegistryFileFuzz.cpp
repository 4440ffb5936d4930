// The registry file as any program or person may have left it. Either it is
// no registry file at all, and then every change is refused and the file left
// as it is; or every value it read is what the registry functions give, and a
// change writes a file that reads as the changed tree, with every line that
// was not read still there and still not read.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchDirectory.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/registry/RegistryFile.h"
#include "platform/posix/registry/RegistryStore.h"
#include "platform/posix/registry/RegistryTree.h"
#include "platform/win32.h"

namespace {

const char kFile[] = "registry.reg";
const char kProbeKey[] = "FuzzProbe";
const char kProbeValue[] = "Probe";
// Values compared with the registry functions per input, to keep runs fast.
const int kMaxValuesCompared = 8;

const ScratchDirectory& Scratch() {
    static const ScratchDirectory scratch;
    return scratch;
}

// What the registry functions give for `value` of the open `key`; the
// Windows error code when they give nothing. One query with room for any
// value the file can hold: every call reads the whole file again, and the
// input rate is what this target is measured by.
LONG QueryValue(HKEY key, const char* value, size_t room, DWORD& type, std::string& data) {
    data.assign(room, '\0');
    DWORD size = static_cast<DWORD>(room);
    LONG error =
        RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    if (error == ERROR_MORE_DATA) {
        data.assign(size, '\0');
        error = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                                 &size);
    }
    data.resize(error == ERROR_SUCCESS ? size : 0);
    return error;
}

// A text value reads back with its terminator.
std::string StoredData(const mvx::RegistryValue& value) {
    return value.text ? value.data + '\0' : value.data;
}

void CompareValues(const mvx::RegistryKey& key, const std::string& path, size_t room,
                   int& budget) {
    if (key.Values().empty() || budget <= 0 || path.empty())
        return;
    HKEY opened = nullptr;
    FUZZ_CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &opened) ==
               ERROR_SUCCESS);
    for (const mvx::RegistryValue& value : key.Values()) {
        if (budget-- <= 0)
            break;
        DWORD type = 0;
        std::string data;
        FUZZ_CHECK(QueryValue(opened, value.name.empty() ? nullptr : value.name.c_str(), room,
                              type, data) == ERROR_SUCCESS);
        FUZZ_CHECK(type == value.type && data == StoredData(value));
    }
    RegCloseKey(opened);
}

void CompareWithFunctions(const mvx::RegistryKey& key, const std::string& path, size_t room,
                          int& budget) {
    CompareValues(key, path, room, budget);
    for (const auto& subKey : key.SubKeys())
        CompareWithFunctions(*subKey, path.empty() ? subKey->Name() : path + "\\" + subKey->Name(),
                             room, budget);
}

LONG SetProbe() {
    HKEY key = nullptr;
    LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, kProbeKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    const DWORD one = 1;
    error = RegSetValueExA(key, kProbeValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                           sizeof(one));
    RegCloseKey(key);
    return error;
}

// The tree after SetProbe; whether it changed anything.
bool AddProbe(mvx::RegistryKey& root) {
    bool created = false;
    mvx::RegistryKey& key = mvx::ProvideKey(root, {kProbeKey}, created);
    mvx::RegistryValue probe;
    probe.name = kProbeValue;
    probe.type = REG_DWORD;
    probe.data = std::string("\x01\0\0\0", 4);
    return key.SetValue(probe) || created;
}

void CheckRead(const std::string& text, const mvx::RegistryText& file, mvx::RegistryKey& root) {
    int budget = kMaxValuesCompared;
    // No value holds more bytes than the text it was read from, and its terminator.
    CompareWithFunctions(root, "", text.size() + 2, budget);
    const bool changes = AddProbe(root);
    FUZZ_CHECK(SetProbe() == ERROR_SUCCESS);
    std::string after;
    FUZZ_CHECK(Scratch().Read(kFile, after));
    if (!changes) {
        FUZZ_CHECK(after == text);
        return;
    }
    mvx::RegistryText written;
    mvx::RegistryKey reread("");
    FUZZ_CHECK(written.Parse(after, reread));
    FUZZ_CHECK(mvx::SameRegistry(root, reread));
    FUZZ_CHECK(written.Notices().size() == file.Notices().size());
}

void CheckRefused(const std::string& text, const mvx::RegistryKey& root) {
    FUZZ_CHECK(root.Values().empty() && root.SubKeys().empty());
    FUZZ_CHECK(SetProbe() == static_cast<LONG>(mvx::kErrorRegistryNotRegistryText));
    std::string after;
    FUZZ_CHECK(Scratch().Read(kFile, after));
    FUZZ_CHECK(after == text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("MORVEX_REGISTRY", Scratch().PathOf(kFile).c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.size() > mvx::kMaxRegistryFileSize)
        return 0;
    Scratch().Write(kFile, text);
    mvx::RegistryKey root("");
    mvx::RegistryText file;
    if (file.Parse(text, root))
        CheckRead(text, file, root);
    else
        CheckRefused(text, root);
    return 0;
}
