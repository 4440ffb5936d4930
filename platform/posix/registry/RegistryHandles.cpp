#include "platform/posix/registry/RegistryHandles.h"

#include <map>
#include <mutex>

namespace mvx {
namespace {

constexpr ULONG_PTR kFirstPredefined = 0x80000000u;  // HKEY_CLASSES_ROOT
constexpr ULONG_PTR kLastPredefined = 0x80000006u;   // HKEY_DYN_DATA
constexpr REGSAM kMaximumAllowed = 0x02000000u;

// Handles look like Windows' own: small multiples of four, below the
// predefined roots. A closed value is not handed out again until the counter
// wraps, so a stale handle is refused instead of reaching another key.
constexpr ULONG_PTR kFirstHandle = 0x1000;
constexpr ULONG_PTR kLastHandle = 0x7FFFFFFC;

struct HandleTable {
    std::mutex lock;
    std::map<ULONG_PTR, OpenRegistryKey> keys;
    ULONG_PTR next = kFirstHandle;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

ULONG_PTR Value(HKEY handle) { return reinterpret_cast<ULONG_PTR>(handle); }

bool IsPredefined(HKEY handle) {
    return Value(handle) >= kFirstPredefined && Value(handle) <= kLastPredefined;
}

}  // namespace

REGSAM MapKeyAccess(REGSAM access) {
    REGSAM mapped =
        access & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL | kMaximumAllowed);
    if (access & (GENERIC_READ | GENERIC_EXECUTE)) mapped |= KEY_READ;
    if (access & GENERIC_WRITE) mapped |= KEY_WRITE;
    if (access & (GENERIC_ALL | kMaximumAllowed)) mapped |= KEY_ALL_ACCESS;
    return mapped;
}

HKEY AddKeyHandle(OpenRegistryKey key) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    while (table.keys.count(table.next) != 0)
        table.next = table.next == kLastHandle ? kFirstHandle : table.next + 4;
    ULONG_PTR handle = table.next;
    table.keys.emplace(handle, std::move(key));
    table.next = handle == kLastHandle ? kFirstHandle : handle + 4;
    return reinterpret_cast<HKEY>(handle);
}

LONG FindKeyHandle(HKEY handle, OpenRegistryKey& key) {
    if (IsPredefined(handle)) {
        key = OpenRegistryKey();
        key.present = handle == HKEY_CURRENT_USER;
        key.access = key.present ? KEY_ALL_ACCESS : KEY_READ;
        return ERROR_SUCCESS;
    }
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.keys.find(Value(handle));
    if (found == table.keys.end()) return ERROR_INVALID_HANDLE;
    key = found->second;
    return ERROR_SUCCESS;
}

LONG RemoveKeyHandle(HKEY handle) {
    if (IsPredefined(handle)) return ERROR_SUCCESS;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return table.keys.erase(Value(handle)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace mvx
