#include "platform/posix/files/FileObject.h"

#include <utility>

namespace mvx {

FileObject::FileObject(Descriptor descriptor, const ResolvedName& name, bool isDirectory,
                       DWORD access, DWORD shareMode)
    : KernelObject(kKind),
      descriptor_(std::move(descriptor)),
      name_(name),
      isDirectory_(isDirectory),
      access_(access),
      shareMode_(shareMode) {}

}  // namespace mvx
