// The registry file as any program or person may have left it. The reader
// either understands all of it, and then writes it back in a form it reads
// as the same tree, and every value it read is what the registry functions
// give; or it finds it damaged, and then the registry reads as empty and the
// next change keeps the damaged bytes aside, whole, before writing its own.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchDirectory.h"
#include "platform/posix/registry/RegistryFile.h"
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

// What the registry functions give for `value` of the key at `path`; the
// Windows error code when they give nothing.
LONG QueryValue(const std::string& path, const char* value, DWORD& type, std::string& data) {
    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (error != ERROR_SUCCESS)
        return error;
    DWORD size = 0;
    error = RegQueryValueExA(key, value, nullptr, &type, nullptr, &size);
    if (error == ERROR_SUCCESS) {
        data.assign(size, '\0');
        error = RegQueryValueExA(key, value, nullptr, &type,
                                 reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return error;
}

// A text value reads back with its terminator.
std::string StoredData(const mvx::RegistryValue& value) {
    return value.text ? value.data + '\0' : value.data;
}

void CompareWithFunctions(const mvx::RegistryKey& key, const std::string& path, int& budget) {
    for (const mvx::RegistryValue& value : key.Values()) {
        if (budget-- <= 0 || path.empty())
            return;
        DWORD type = 0;
        std::string data;
        FUZZ_CHECK(QueryValue(path, value.name.empty() ? nullptr : value.name.c_str(), type,
                              data) == ERROR_SUCCESS);
        FUZZ_CHECK(type == value.type && data == StoredData(value));
    }
    for (const auto& subKey : key.SubKeys())
        CompareWithFunctions(*subKey, path.empty() ? subKey->Name() : path + "\\" + subKey->Name(),
                             budget);
}

// The key and value a damaged file seems to name, from its first section
// and the first value line after it; empty when it names none.
void GuessFirstValue(const std::string& text, std::string& path, std::string& value) {
    const std::string prefix = "[HKEY_CURRENT_USER\\";
    const size_t section = text.find(prefix);
    if (section == std::string::npos)
        return;
    const size_t close = text.find(']', section);
    const size_t line = text.find("\n\"", section);
    if (close == std::string::npos || line == std::string::npos || line < close)
        return;
    path = text.substr(section + prefix.size(), close - section - prefix.size());
    const size_t quote = text.find('"', line + 2);
    if (quote != std::string::npos)
        value = text.substr(line + 2, quote - line - 2);
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

void CheckUnderstood(const std::string& text, mvx::RegistryKey& root) {
    const std::string written = mvx::FormatRegistryText(root);
    mvx::RegistryKey reread("");
    FUZZ_CHECK(mvx::ParseRegistryText(written, reread));
    FUZZ_CHECK(mvx::FormatRegistryText(reread) == written);
    int budget = kMaxValuesCompared;
    CompareWithFunctions(root, "", budget);
    const bool changes = AddProbe(root);
    FUZZ_CHECK(SetProbe() == ERROR_SUCCESS);
    std::string after;
    FUZZ_CHECK(Scratch().Read(kFile, after));
    FUZZ_CHECK(after == (changes ? mvx::FormatRegistryText(root) : text));
}

void CheckDamaged(const std::string& text, const mvx::RegistryKey& root) {
    FUZZ_CHECK(root.Values().empty() && root.SubKeys().empty());
    std::string path, value;
    GuessFirstValue(text, path, value);
    if (!path.empty()) {
        DWORD type = 0;
        std::string data;
        FUZZ_CHECK(QueryValue(path, value.c_str(), type, data) != ERROR_SUCCESS);
    }
    FUZZ_CHECK(SetProbe() == ERROR_SUCCESS);
    std::string aside;
    FUZZ_CHECK(Scratch().Read(std::string(kFile) + ".damaged", aside));
    FUZZ_CHECK(aside == text);
    mvx::RegistryKey expected("");
    AddProbe(expected);
    std::string after;
    FUZZ_CHECK(Scratch().Read(kFile, after));
    FUZZ_CHECK(after == mvx::FormatRegistryText(expected));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("MORVEX_REGISTRY", Scratch().PathOf(kFile).c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Scratch().Write(kFile, text);
    Scratch().Remove(std::string(kFile) + ".damaged");
    mvx::RegistryKey root("");
    if (mvx::ParseRegistryText(text, root))
        CheckUnderstood(text, root);
    else
        CheckDamaged(text, root);
    return 0;
}
