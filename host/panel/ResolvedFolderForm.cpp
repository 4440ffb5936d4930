#include "host/panel/ResolvedFolderForm.h"

#include <cstdlib>
#include <memory>

std::string ResolvedFolderForm(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::unique_ptr<char, decltype(&free)> real(realpath(folder.c_str(), nullptr), &free);
    if (!real)
        return path;
    const std::string resolved = real.get();
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return (resolved == "/" ? "" : resolved) + "/" + name;
}
