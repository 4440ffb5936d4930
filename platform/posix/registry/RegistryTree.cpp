#include "platform/posix/registry/RegistryTree.h"

#include "platform/posix/registry/RegistryNames.h"

namespace mvx {

bool RegistryValue::operator==(const RegistryValue& other) const {
    return name == other.name && type == other.type && text == other.text && data == other.data;
}

const RegistryKey* RegistryKey::FindSubKey(const std::string& name) const {
    for (const std::unique_ptr<RegistryKey>& key : subKeys_)
        if (RegistryNamesEqual(key->Name(), name)) return key.get();
    return nullptr;
}

RegistryKey* RegistryKey::FindSubKey(const std::string& name) {
    return const_cast<RegistryKey*>(static_cast<const RegistryKey*>(this)->FindSubKey(name));
}

RegistryKey& RegistryKey::ProvideSubKey(const std::string& name, bool& created) {
    RegistryKey* found = FindSubKey(name);
    created = found == nullptr;
    if (found) return *found;
    subKeys_.push_back(std::make_unique<RegistryKey>(name));
    return *subKeys_.back();
}

const RegistryValue* RegistryKey::FindValue(const std::string& name) const {
    for (const RegistryValue& value : values_)
        if (RegistryNamesEqual(value.name, name)) return &value;
    return nullptr;
}

bool RegistryKey::SetValue(RegistryValue value) {
    RegistryValue* found = const_cast<RegistryValue*>(FindValue(value.name));
    if (!found) {
        values_.push_back(std::move(value));
        return true;
    }
    value.name = found->name;
    if (*found == value) return false;
    *found = std::move(value);
    return true;
}

void RegistryKey::Clear() {
    values_.clear();
    subKeys_.clear();
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
