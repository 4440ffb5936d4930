#include "NamedStreamSupport.h"

#include "platform/win32.h"

#include <stdexcept>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

bool SplitStream(const std::string& relative, std::string& file, std::string& attribute) {
    const std::string::size_type colon = relative.find(':');
    file = relative.substr(0, colon);
    attribute = colon == std::string::npos ? "" : "user." + relative.substr(colon + 1);
    return colon != std::string::npos;
}

}  // namespace

void PutBytes(const TempDirectory& temp, const std::string& relative, const std::string& bytes) {
    std::string file, attribute;
    if (!SplitStream(relative, file, attribute)) {
        temp.AddFile(file, bytes);
        return;
    }
    if (setxattr(temp.PathOf(file).c_str(), attribute.c_str(), bytes.data(), bytes.size(), 0) != 0)
        throw std::runtime_error("cannot set " + relative);
}

std::string BytesOf(const TempDirectory& temp, const std::string& relative) {
    std::string file, attribute;
    if (!SplitStream(relative, file, attribute)) return temp.Contents(file);
    const std::string path = temp.PathOf(file);
    const ssize_t size = getxattr(path.c_str(), attribute.c_str(), nullptr, 0);
    if (size < 0) return "<missing>";
    std::string value(static_cast<size_t>(size), '\0');
    if (size > 0 && getxattr(path.c_str(), attribute.c_str(), &value[0], value.size()) != size)
        return "<missing>";
    return value;
}

unsigned ModeOf(const TempDirectory& temp, const std::string& relative) {
    struct stat status;
    return stat(temp.PathOf(relative).c_str(), &status) == 0 ? status.st_mode : 0;
}

std::string Outcome(int result) {
    return result ? "ok" : "error " + std::to_string(GetLastError());
}
