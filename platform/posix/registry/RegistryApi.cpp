// The registry functions. HKEY_CURRENT_USER is the one hive there is; the
// other predefined roots open nothing and take nothing. Names and text values
// arrive in the ANSI page and are kept as UTF-8, so a reader with another ANSI
// page still reads the same text. Like Windows, the functions report through
// the code they return, not through the last error.
#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/registry/RegistryHandles.h"
#include "platform/posix/registry/RegistryNames.h"
#include "platform/posix/registry/RegistryStore.h"
#include "platform/posix/registry/RegistryTree.h"

#include <cstring>

namespace {

using namespace mvx;

template <typename Body>
LONG Guarded(Body body) {
    return GuardedCall(static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY), body);
}

LONG InjectedFault() { return static_cast<LONG>(GetLastError()); }

// A caller's name or text, in the ANSI page, as the UTF-8 the registry keeps;
// a null name is the empty one.
LONG ToRegistryText(LPCSTR ansi, std::string& utf8) {
    if (!ansi) return ERROR_SUCCESS;
    if (!CodePageToUtf8(CP_ACP, ansi, utf8) || !IsRegistryText(utf8))
        return ERROR_NO_UNICODE_TRANSLATION;
    return ERROR_SUCCESS;
}

LONG AppendSubKey(LPCSTR subKey, std::vector<std::string>& names) {
    std::string path;
    LONG code = ToRegistryText(subKey, path);
    return code == ERROR_SUCCESS ? AppendKeyPath(path, names) : code;
}

// A string with one terminator becomes a text value when its characters can
// be written in the file's text form; anything else keeps its exact bytes.
void KeepStringAsText(RegistryValue& value) {
    const std::string& bytes = value.data;
    if (value.type != REG_SZ || bytes.empty() || bytes.find('\0') != bytes.size() - 1) return;
    std::string utf8;
    if (ToRegistryText(bytes.c_str(), utf8) != ERROR_SUCCESS) return;
    if (utf8.find_first_of("\r\n") != std::string::npos) return;
    value.text = true;
    value.data = std::move(utf8);
}

// The bytes a caller of the ANSI functions reads: a text value in the ANSI
// page with its terminator.
LONG CallerBytes(const RegistryValue& value, std::string& bytes) {
    if (!value.text) {
        bytes = value.data;
        return ERROR_SUCCESS;
    }
    if (!Utf8ToCodePage(CP_ACP, value.data, bytes)) return ERROR_NO_UNICODE_TRANSLATION;
    bytes.push_back('\0');
    return ERROR_SUCCESS;
}

LONG CopyOut(const std::string& bytes, LPBYTE data, LPDWORD dataSize) {
    DWORD needed = static_cast<DWORD>(bytes.size());
    if (!data) {
        if (dataSize) *dataSize = needed;
        return ERROR_SUCCESS;
    }
    LONG code = *dataSize < needed ? ERROR_MORE_DATA : ERROR_SUCCESS;
    if (code == ERROR_SUCCESS && needed > 0) std::memcpy(data, bytes.data(), needed);
    *dataSize = needed;
    return code;
}

LONG OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenRegistryKey key;
    LONG code = FindKeyHandle(parent, key);
    if (code != ERROR_SUCCESS) return code;
    std::vector<std::string> parentPath = key.path;
    code = AppendSubKey(subKey, key.path);
    if (code != ERROR_SUCCESS) return code;
    if (!key.present) return ERROR_FILE_NOT_FOUND;
    RegistryKey root("");
    code = ReadRegistry(root);
    if (code != ERROR_SUCCESS) return code;
    if (!FindKey(root, parentPath)) return ERROR_KEY_DELETED;
    if (!FindKey(root, key.path)) return ERROR_FILE_NOT_FOUND;
    key.access = MapKeyAccess(access);
    *result = AddKeyHandle(std::move(key));
    return ERROR_SUCCESS;
}

LONG CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenRegistryKey parentKey;
    LONG code = FindKeyHandle(parent, parentKey);
    if (code != ERROR_SUCCESS) return code;
    std::vector<std::string> names;
    code = AppendSubKey(subKey, names);
    if (code != ERROR_SUCCESS) return code;
    if (!parentKey.present) return ERROR_ACCESS_DENIED;

    bool created = false;
    RegistryChange create = [&](RegistryKey& root, bool& changed) -> LONG {
        RegistryKey* start = FindKey(root, parentKey.path);
        if (!start) return ERROR_KEY_DELETED;
        created = false;
        if (FindKey(*start, names)) return ERROR_SUCCESS;
        if (!(parentKey.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        ProvideKey(*start, names, created);
        changed = true;
        return ERROR_SUCCESS;
    };
    // Trying on what the file holds now spares an existing key the lock and
    // the rewrite, so it opens even where the file cannot be written.
    RegistryKey current("");
    code = ReadRegistry(current);
    if (code != ERROR_SUCCESS) return code;
    bool needsWrite = false;
    code = create(current, needsWrite);
    if (code == ERROR_SUCCESS && needsWrite) code = UpdateRegistry(create);
    if (code != ERROR_SUCCESS) return code;

    OpenRegistryKey key;
    key.path = parentKey.path;
    key.path.insert(key.path.end(), names.begin(), names.end());
    key.access = MapKeyAccess(access);
    *result = AddKeyHandle(std::move(key));
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG QueryValue(HKEY handle, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                LPDWORD dataSize) {
    if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    OpenRegistryKey key;
    LONG code = FindKeyHandle(handle, key);
    if (code != ERROR_SUCCESS) return code;
    if (!(key.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    std::string name;
    code = ToRegistryText(valueName, name);
    if (code != ERROR_SUCCESS) return code;
    if (!key.present) return ERROR_FILE_NOT_FOUND;

    RegistryKey root("");
    code = ReadRegistry(root);
    if (code != ERROR_SUCCESS) return code;
    const RegistryKey* found = FindKey(root, key.path);
    if (!found) return ERROR_KEY_DELETED;
    const RegistryValue* value = found->FindValue(name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    std::string bytes;
    code = CallerBytes(*value, bytes);
    if (code != ERROR_SUCCESS) return code;
    if (type) *type = value->type;
    return CopyOut(bytes, data, dataSize);
}

LONG SetValue(HKEY handle, LPCSTR valueName, DWORD type, const BYTE* data, DWORD dataSize) {
    OpenRegistryKey key;
    LONG code = FindKeyHandle(handle, key);
    if (code != ERROR_SUCCESS) return code;
    if (!(key.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!data && dataSize != 0) return ERROR_INVALID_PARAMETER;
    if (dataSize > kMaxRegistryFileSize) return ERROR_FILE_TOO_LARGE;
    RegistryValue value;
    code = ToRegistryText(valueName, value.name);
    if (code == ERROR_SUCCESS) code = CheckValueName(value.name);
    if (code != ERROR_SUCCESS) return code;
    value.type = type;
    if (dataSize != 0) value.data.assign(reinterpret_cast<const char*>(data), dataSize);
    KeepStringAsText(value);

    return UpdateRegistry([&](RegistryKey& root, bool& changed) -> LONG {
        RegistryKey* target = FindKey(root, key.path);
        if (!target) return ERROR_KEY_DELETED;
        changed = target->SetValue(value);
        return ERROR_SUCCESS;
    });
}

}  // namespace

extern "C" LONG WINAPI RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD, REGSAM access,
                                     PHKEY result) {
    if (mvx::FaultHit("RegOpenKeyExA")) return InjectedFault();
    return Guarded([&] { return OpenKey(parent, subKey, access, result); });
}

extern "C" LONG WINAPI RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD, LPSTR, DWORD,
                                       REGSAM access, LPSECURITY_ATTRIBUTES, PHKEY result,
                                       LPDWORD disposition) {
    if (mvx::FaultHit("RegCreateKeyExA")) return InjectedFault();
    return Guarded([&] { return CreateKey(parent, subKey, access, result, disposition); });
}

extern "C" LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD dataSize) {
    if (mvx::FaultHit("RegQueryValueExA")) return InjectedFault();
    return Guarded([&] { return QueryValue(key, valueName, reserved, type, data, dataSize); });
}

extern "C" LONG WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type,
                                      const BYTE* data, DWORD dataSize) {
    if (mvx::FaultHit("RegSetValueExA")) return InjectedFault();
    return Guarded([&] { return SetValue(key, valueName, type, data, dataSize); });
}

extern "C" LONG WINAPI RegCloseKey(HKEY key) {
    if (mvx::FaultHit("RegCloseKey")) return InjectedFault();
    return Guarded([&] { return RemoveKeyHandle(key); });
}
