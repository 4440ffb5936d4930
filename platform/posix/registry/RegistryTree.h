// The registry in memory: a tree of keys, each with its values and sub-keys in
// the order they were made, names kept in the case they were made with and
// found without regard to case. Each list has an index by folded name beside
// it, so a key of many values loads in time linear in their number.
#pragma once

#include "platform/posix/Win32Types.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace mvx {

// Where in the registry file a value or key was read: the position of its
// line among the file's lines, or kNotInFile for one made since.
constexpr std::size_t kNotInFile = static_cast<std::size_t>(-1);

struct RegistryValue {
    std::string name;  // UTF-8; empty for the key's default value
    DWORD type = REG_NONE;
    // A text value (REG_SZ only) holds its string as UTF-8 without the
    // terminator, so it reads back in whatever ANSI page the reader uses.
    // Every other value holds the bytes exactly as they were stored.
    bool text = false;
    std::string data;
    // The line that set it; not part of what the value is.
    std::size_t line = kNotInFile;

    bool operator==(const RegistryValue& other) const;
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name) : name_(std::move(name)) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& Name() const { return name_; }
    // The last line of the file that opens this key's section.
    std::size_t Line() const { return line_; }
    void SetLine(std::size_t line) { line_ = line; }
    const std::vector<RegistryValue>& Values() const { return values_; }
    const std::vector<std::unique_ptr<RegistryKey>>& SubKeys() const { return subKeys_; }

    const RegistryKey* FindSubKey(const std::string& name) const;
    RegistryKey* FindSubKey(const std::string& name);
    // The sub-key of that name, made when missing; `created` tells which.
    RegistryKey& ProvideSubKey(const std::string& name, bool& created);

    const RegistryValue* FindValue(const std::string& name) const;
    // Stores the value under its name, keeping the case of a name already
    // there, and its line unless the new value names one. Returns whether
    // anything changed.
    bool SetValue(RegistryValue value);
    void RemoveValue(const std::string& name);
    void RemoveSubKey(const std::string& name);

    // Forgets every value and sub-key.
    void Clear();

private:
    // Positions in the lists by folded name. Several names may share a folded
    // form only when they hold bytes that are no character; RegistryNamesEqual
    // decides among them.
    using NameIndex = std::unordered_multimap<std::string, std::size_t>;

    void IndexAgain();

    std::string name_;
    std::size_t line_ = kNotInFile;
    std::vector<RegistryValue> values_;
    std::vector<std::unique_ptr<RegistryKey>> subKeys_;
    NameIndex valueIndex_;
    NameIndex subKeyIndex_;
};

// Whether two trees hold the same keys and values, whatever their order.
bool SameRegistry(const RegistryKey& a, const RegistryKey& b);

// The key at `path` below `root`, or null when a key on the way is missing.
const RegistryKey* FindKey(const RegistryKey& root, const std::vector<std::string>& path);
RegistryKey* FindKey(RegistryKey& root, const std::vector<std::string>& path);

// The key at `path` below `root`, making every missing key on the way;
// `created` tells whether the last one was made.
RegistryKey& ProvideKey(RegistryKey& root, const std::vector<std::string>& path, bool& created);

}  // namespace mvx
