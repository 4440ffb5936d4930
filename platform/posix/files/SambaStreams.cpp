#include "platform/posix/files/SambaStreams.h"

#include "platform/posix/core/LayerErrors.h"

#include <cstdlib>

namespace mvx {
namespace {

const std::string kUserPrefix = "user.";
const std::string kDefaultPrefix = "DosStream.";
// What Samba keeps on every file; names below are without "user.".
const std::string kDosAttributes = "DOSATTRIB";
const std::string kDataSuffix = ":$DATA";

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The stream prefix within user.*: a setting outside that namespace names no
// attribute the layer lists, so the default stands.
std::string SambaPrefix() {
    const char* setting = std::getenv("MORVEX_SAMBA_PREFIX");
    const std::string prefix = setting ? setting : "";
    if (StartsWith(prefix, kUserPrefix) && prefix.size() > kUserPrefix.size())
        return prefix.substr(kUserPrefix.size());
    return kDefaultPrefix;
}

bool InSambaForm(const std::vector<std::string>& names, const std::string& prefix) {
    for (const std::string& name : names)
        if (name == kDosAttributes || StartsWith(name, prefix)) return true;
    return false;
}

bool Contains(const std::vector<std::string>& names, const std::string& wanted) {
    for (const std::string& name : names)
        if (name == wanted) return true;
    return false;
}

// An attribute named by the prefix alone or by the prefix and the suffix
// holds no stream a client could name.
bool SambaStreamName(const std::string& attribute, const std::string& prefix,
                     std::string& stream) {
    if (!StartsWith(attribute, prefix)) return false;
    stream = attribute.substr(prefix.size());
    if (EndsWith(stream, kDataSuffix)) stream.resize(stream.size() - kDataSuffix.size());
    return !stream.empty();
}

}  // namespace

DWORD ListAttributeStreams(const AttributeFile& file, std::vector<AttributeStream>& streams) {
    std::vector<std::string> names;
    const DWORD error = ListUserAttributes(file, names);
    if (error != NO_ERROR) return error;
    streams.clear();
    const std::string prefix = SambaPrefix();
    const bool samba = InSambaForm(names, prefix);
    for (const std::string& name : names) {
        AttributeStream stream;
        stream.where.attribute = kUserPrefix + name;
        if (!samba)
            stream.name = name;
        else if (SambaStreamName(name, prefix, stream.name))
            stream.where.trailer = 1;
        else
            continue;
        streams.push_back(std::move(stream));
    }
    return NO_ERROR;
}

DWORD LocateAttributeStream(const AttributeFile& file, const std::string& name,
                            StreamAttribute& where) {
    std::vector<std::string> names;
    const DWORD error = ListUserAttributes(file, names);
    if (error != NO_ERROR) return error;
    const std::string prefix = SambaPrefix();
    where = StreamAttribute();
    if (!InSambaForm(names, prefix)) {
        where.attribute = kUserPrefix + name;
        return InSambaForm({name}, prefix) ? kErrorStreamNameIsSambas : NO_ERROR;
    }
    // A share that stores no stream type names the stream without the suffix.
    const bool typeless = !Contains(names, prefix + name + kDataSuffix) &&
                          Contains(names, prefix + name);
    where.attribute = kUserPrefix + prefix + name + (typeless ? "" : kDataSuffix);
    where.trailer = 1;
    return NO_ERROR;
}

DWORD QueryStreamPresence(const std::string& path, const std::string& name, bool& present) {
    const AttributeFile file = AttributeFile::OfPath(path);
    StreamAttribute where;
    size_t size = 0;
    present = false;
    const DWORD error = LocateAttributeStream(file, name, where);
    return error != NO_ERROR ? error : QueryAttributeSize(file, where.attribute, present, size);
}

size_t StreamSizeOf(const StreamAttribute& where, size_t attributeSize) {
    return attributeSize > where.trailer ? attributeSize - where.trailer : 0;
}

std::string AttributeValueOf(const StreamAttribute& where, const std::string& data) {
    return data + std::string(where.trailer, '\0');
}

}  // namespace mvx
