#include "platform/posix/registry/RegistryTree.h"

#include "platform/posix/registry/RegistryNames.h"

namespace mvx {
namespace {

// The position of the name in `index` whose entry `nameAt` gives, or `none`.
template <typename NameAt>
std::size_t Lookup(const std::unordered_multimap<std::string, std::size_t>& index,
                   const std::string& name, NameAt nameAt, std::size_t none) {
    const auto range = index.equal_range(FoldRegistryName(name));
    for (auto entry = range.first; entry != range.second; ++entry)
        if (RegistryNamesEqual(nameAt(entry->second), name)) return entry->second;
    return none;
}

}  // namespace

bool RegistryValue::operator==(const RegistryValue& other) const {
    return name == other.name && type == other.type && text == other.text && data == other.data;
}

const RegistryKey* RegistryKey::FindSubKey(const std::string& name) const {
    const auto nameAt = [this](std::size_t i) -> const std::string& { return subKeys_[i]->Name(); };
    const std::size_t at = Lookup(subKeyIndex_, name, nameAt, subKeys_.size());
    return at < subKeys_.size() ? subKeys_[at].get() : nullptr;
}

RegistryKey* RegistryKey::FindSubKey(const std::string& name) {
    return const_cast<RegistryKey*>(static_cast<const RegistryKey*>(this)->FindSubKey(name));
}

RegistryKey& RegistryKey::ProvideSubKey(const std::string& name, bool& created) {
    RegistryKey* found = FindSubKey(name);
    created = found == nullptr;
    if (found) return *found;
    subKeyIndex_.emplace(FoldRegistryName(name), subKeys_.size());
    subKeys_.push_back(std::make_unique<RegistryKey>(name));
    return *subKeys_.back();
}

const RegistryValue* RegistryKey::FindValue(const std::string& name) const {
    const auto nameAt = [this](std::size_t i) -> const std::string& { return values_[i].name; };
    const std::size_t at = Lookup(valueIndex_, name, nameAt, values_.size());
    return at < values_.size() ? &values_[at] : nullptr;
}

bool RegistryKey::SetValue(RegistryValue value) {
    RegistryValue* found = const_cast<RegistryValue*>(FindValue(value.name));
    if (!found) {
        valueIndex_.emplace(FoldRegistryName(value.name), values_.size());
        values_.push_back(std::move(value));
        return true;
    }
    value.name = found->name;
    if (value.line == kNotInFile) value.line = found->line;
    if (*found == value) {
        found->line = value.line;
        return false;
    }
    *found = std::move(value);
    return true;
}

void RegistryKey::RemoveValue(const std::string& name) {
    const RegistryValue* found = FindValue(name);
    if (!found) return;
    values_.erase(values_.begin() + (found - values_.data()));
    IndexAgain();
}

void RegistryKey::RemoveSubKey(const std::string& name) {
    const RegistryKey* found = FindSubKey(name);
    if (!found) return;
    for (auto at = subKeys_.begin(); at != subKeys_.end(); ++at)
        if (at->get() == found) {
            subKeys_.erase(at);
            break;
        }
    IndexAgain();
}

// Deleting is rare (a file's deletion lines), so the indexes are made anew
// rather than kept in step entry by entry.
void RegistryKey::IndexAgain() {
    valueIndex_.clear();
    subKeyIndex_.clear();
    for (std::size_t i = 0; i < values_.size(); ++i)
        valueIndex_.emplace(FoldRegistryName(values_[i].name), i);
    for (std::size_t i = 0; i < subKeys_.size(); ++i)
        subKeyIndex_.emplace(FoldRegistryName(subKeys_[i]->Name()), i);
}

void RegistryKey::Clear() {
    values_.clear();
    subKeys_.clear();
    valueIndex_.clear();
    subKeyIndex_.clear();
}

bool SameRegistry(const RegistryKey& a, const RegistryKey& b) {
    if (a.Values().size() != b.Values().size() || a.SubKeys().size() != b.SubKeys().size())
        return false;
    for (const RegistryValue& value : a.Values()) {
        const RegistryValue* other = b.FindValue(value.name);
        if (!other || !(*other == value)) return false;
    }
    for (const std::unique_ptr<RegistryKey>& subKey : a.SubKeys()) {
        const RegistryKey* other = b.FindSubKey(subKey->Name());
        if (!other || !SameRegistry(*subKey, *other)) return false;
    }
    return true;
}

const RegistryKey* FindKey(const RegistryKey& root, const std::vector<std::string>& path) {
    const RegistryKey* key = &root;
    for (const std::string& name : path) {
        key = key->FindSubKey(name);
        if (!key) return nullptr;
    }
    return key;
}

RegistryKey* FindKey(RegistryKey& root, const std::vector<std::string>& path) {
    return const_cast<RegistryKey*>(FindKey(static_cast<const RegistryKey&>(root), path));
}

RegistryKey& ProvideKey(RegistryKey& root, const std::vector<std::string>& path, bool& created) {
    RegistryKey* key = &root;
    created = false;
    for (const std::string& name : path) key = &key->ProvideSubKey(name, created);
    return *key;
}

}  // namespace mvx
