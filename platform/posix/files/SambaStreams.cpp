#include "platform/posix/files/SambaStreams.h"

#include "platform/posix/core/LayerErrors.h"

#include <cstdlib>
#include <linux/limits.h>
#include <string_view>

namespace mvx {
namespace {

const std::string kUserPrefix = "user.";
const std::string kDefaultPrefix = "DosStream.";
// What Samba keeps on every file; names below are without "user.".
const std::string kDosAttributes = "DOSATTRIB";
const std::string kDataSuffix = ":$DATA";

bool StartsWith(std::string_view text, std::string_view start) {
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(std::string_view text, std::string_view end) {
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

bool IsSambasRecord(std::string_view name, const std::string& prefix) {
    return name == kDosAttributes || StartsWith(name, prefix);
}

bool InSambaForm(const AttributeNameList& list, const std::string& prefix) {
    return list.HasUserName(kDosAttributes) || list.HasUserNameStartingWith(prefix);
}

// An attribute named by the prefix alone or by the prefix and the suffix
// holds no stream a client could name.
bool SambaStreamName(std::string_view attribute, const std::string& prefix,
                     std::string_view& stream) {
    if (!StartsWith(attribute, prefix)) return false;
    stream = attribute.substr(prefix.size());
    if (EndsWith(stream, kDataSuffix)) stream.remove_suffix(kDataSuffix.size());
    return !stream.empty();
}

// A stream whose attribute name would pass the kernel's limit has a name too
// long for the file system, which refuses it as "out of range".
DWORD NameFits(const StreamAttribute& where) {
    return where.attribute.size() > XATTR_NAME_MAX ? ERROR_FILENAME_EXCED_RANGE : NO_ERROR;
}

}  // namespace

DWORD ListAttributeStreams(const AttributeFile& file, std::vector<AttributeStream>& streams) {
    AttributeNameList list;
    const DWORD error = list.Read(file);
    if (error != NO_ERROR) return error;
    streams.clear();
    const std::string prefix = SambaPrefix();
    const bool samba = InSambaForm(list, prefix);
    const std::vector<std::string_view> names = list.UserNames();
    streams.reserve(names.size());
    for (std::string_view name : names) {
        std::string_view shown = name;
        if (samba && !SambaStreamName(name, prefix, shown)) continue;
        AttributeStream stream;
        stream.name.assign(shown);
        stream.where.attribute.reserve(kUserPrefix.size() + name.size());
        stream.where.attribute.append(kUserPrefix).append(name);
        stream.where.trailer = samba ? 1 : 0;
        streams.push_back(std::move(stream));
    }
    return NO_ERROR;
}

DWORD LocateAttributeStream(const AttributeFile& file, const std::string& name,
                            StreamAttribute& where) {
    AttributeNameList list;
    const DWORD error = list.Read(file);
    if (error != NO_ERROR) return error;
    const std::string prefix = SambaPrefix();
    if (!InSambaForm(list, prefix)) return LocatePlainAttributeStream(name, where);
    where = StreamAttribute();
    // A share that stores no stream type names the stream without the suffix.
    const bool typeless =
        !list.HasUserName(prefix + name + kDataSuffix) && list.HasUserName(prefix + name);
    where.attribute = kUserPrefix + prefix + name + (typeless ? "" : kDataSuffix);
    where.trailer = 1;
    return NameFits(where);
}

DWORD LocatePlainAttributeStream(const std::string& name, StreamAttribute& where) {
    where = StreamAttribute();
    where.attribute = kUserPrefix + name;
    return IsSambasRecord(name, SambaPrefix()) ? kErrorStreamNameIsSambas : NameFits(where);
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
