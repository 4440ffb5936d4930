// The process's handle table: HANDLE values standing for kernel objects of
// several kinds. Objects are shared, so one that a thread is still using
// outlives the CloseHandle of another thread.
#pragma once

#include "platform/posix/Win32Types.h"

#include <memory>

namespace mvx {

enum class ObjectKind { File, Find, Token, Mutex };

class KernelObject {
public:
    explicit KernelObject(ObjectKind kind) : kind_(kind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    ObjectKind Kind() const { return kind_; }

private:
    ObjectKind kind_;
};

// The pseudo-handle of the current process, which GetCurrentProcess returns
// and every function taking a process accepts; it is never in the table.
inline HANDLE CurrentProcessPseudoHandle() { return reinterpret_cast<HANDLE>(-1); }

// The handle now standing for `object`; never null nor INVALID_HANDLE_VALUE.
HANDLE AddHandle(std::shared_ptr<KernelObject> object);

// The object behind `handle` when it is of `kind`; null with
// ERROR_INVALID_HANDLE otherwise.
std::shared_ptr<KernelObject> LookUpHandle(HANDLE handle, ObjectKind kind);

// LookUpHandle for a class that names its kind as `kKind`.
template <class Object>
std::shared_ptr<Object> LookUpHandle(HANDLE handle) {
    return std::static_pointer_cast<Object>(LookUpHandle(handle, Object::kKind));
}

// Forgets `handle`, whatever its kind; false with ERROR_INVALID_HANDLE when
// it stands for nothing.
bool RemoveHandle(HANDLE handle);

// Forgets `handle` only when it stands for an object of `kind`.
bool RemoveHandle(HANDLE handle, ObjectKind kind);

}  // namespace mvx
