#include "platform/posix/core/HandleTable.h"

#include "platform/posix/Win32Functions.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace mvx {
namespace {

// Handle values are multiples of four, as on Windows, and never 0 or -1.
constexpr std::uint32_t kHandleStep = 4;

class Table {
public:
    HANDLE Add(std::shared_ptr<KernelObject> object) {
        std::lock_guard<std::mutex> guard(lock_);
        do {
            next_ += kHandleStep;
        } while (next_ == 0 || objects_.count(next_) != 0);
        objects_.emplace(next_, std::move(object));
        return ToHandle(next_);
    }

    std::shared_ptr<KernelObject> Find(HANDLE handle, ObjectKind kind) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = objects_.find(FromHandle(handle));
        if (found == objects_.end() || found->second->Kind() != kind) return nullptr;
        return found->second;
    }

    // The object leaves the table here and is destroyed by the caller, after
    // the lock is released: its destructor may take locks of its own.
    std::shared_ptr<KernelObject> Take(HANDLE handle, const ObjectKind* kind) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = objects_.find(FromHandle(handle));
        if (found == objects_.end() || (kind && found->second->Kind() != *kind)) return nullptr;
        std::shared_ptr<KernelObject> object = std::move(found->second);
        objects_.erase(found);
        return object;
    }

private:
    static std::uintptr_t FromHandle(HANDLE handle) {
        return reinterpret_cast<std::uintptr_t>(handle);
    }
    static HANDLE ToHandle(std::uint32_t value) {
        return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
    }

    std::mutex lock_;
    std::uint32_t next_ = 0;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects_;
};

Table& Handles() {
    static Table table;
    return table;
}

bool Remove(HANDLE handle, const ObjectKind* kind) {
    if (Handles().Take(handle, kind)) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object) { return Handles().Add(std::move(object)); }

std::shared_ptr<KernelObject> LookUpHandle(HANDLE handle, ObjectKind kind) {
    std::shared_ptr<KernelObject> object = Handles().Find(handle, kind);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

bool RemoveHandle(HANDLE handle) { return Remove(handle, nullptr); }

bool RemoveHandle(HANDLE handle, ObjectKind kind) { return Remove(handle, &kind); }

}  // namespace mvx
