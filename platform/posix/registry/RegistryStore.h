// Where the registry lives and how it changes. The file is the one truth that
// every process shares: each reading takes the file as it is now, and each
// change is made under an exclusive lock (flock on a side file), applied to a
// fresh reading, written to a temporary file in the same directory, flushed
// and renamed over the original. So two processes changing the registry at
// once both keep their change, and a crash leaves the old file or the new
// one, never a part of either.
#pragma once

#include "platform/posix/registry/RegistryTree.h"

#include <cstddef>
#include <functional>
#include <string>

namespace mvx {

// A file larger than this is refused rather than read whole, and no change
// may grow the file beyond it (the registry holds settings, not documents).
constexpr std::size_t kMaxRegistryFileSize = 16 * 1024 * 1024;

// $MORVEX_REGISTRY, else $XDG_CONFIG_HOME/morvex/registry.reg, where
// XDG_CONFIG_HOME defaults to ~/.config. Empty when no home is known.
std::string RegistryFilePath();

// The registry as the file holds it now; a missing file is an empty registry.
// A file that cannot be read (no permission, no regular file, too large, not
// the registry format) leaves `root` empty and gives the Windows error code
// that every registry function then returns: it is never taken for an empty
// registry that a change could be written over.
LONG ReadRegistry(RegistryKey& root);

// Makes a change to the registry. `change` returns a Windows error code and
// tells whether it changed anything; the file is replaced only when it
// succeeded and did, with every line it held that was not read kept in place.
// A file that cannot be read is left alone and the change fails. Returns the
// Windows error code.
using RegistryChange = std::function<LONG(RegistryKey& root, bool& changed)>;
LONG UpdateRegistry(const RegistryChange& change);

}  // namespace mvx
