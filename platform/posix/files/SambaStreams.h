// Where a file's named streams live when they are extended attributes.
//
// Samba's streams_xattr keeps stream NAME of a file as the attribute
// PREFIX NAME:$DATA (PREFIX is user.DosStream. unless the share sets
// streams_xattr:prefix; the suffix is missing where it sets
// store_stream_type = no), and the value is the stream's bytes followed by
// one NUL. A file is in Samba's form when one of its user.* attributes is
// user.DOSATTRIB, which Samba keeps on every file it touches, or starts with
// PREFIX; PREFIX is MORVEX_SAMBA_PREFIX when that names one within user.*.
// Such a file's streams are exactly its PREFIX attributes, shown without the
// NUL; its other user.* attributes are Samba's own records, not streams.
// On any other file each user.NAME attribute is the stream NAME, whole.
#pragma once

#include "platform/posix/files/ExtendedAttributes.h"

#include <string>
#include <vector>

namespace mvx {

// The attribute that holds a stream, and how many bytes of its value follow
// the stream's own (Samba's NUL).
struct StreamAttribute {
    std::string attribute;
    size_t trailer = 0;
};

struct AttributeStream {
    std::string name;  // as the stream is shown, UTF-8 or not
    StreamAttribute where;
};

// The file's named streams in the order the file system lists their attributes.
DWORD ListAttributeStreams(const AttributeFile& file, std::vector<AttributeStream>& streams);

// The attribute that holds stream `name`, or that a new stream of that name
// goes to. NO_ERROR or the error listing the file's attributes.
DWORD LocateAttributeStream(const AttributeFile& file, const std::string& name,
                            StreamAttribute& where);

// As LocateAttributeStream, for a file known to be in plain form.
DWORD LocatePlainAttributeStream(const std::string& name, StreamAttribute& where);

// Whether the attribute LocateAttributeStream found is in a file of plain form.
inline bool InPlainForm(const StreamAttribute& where) { return where.trailer == 0; }

// Whether the file at `path` has stream `name` kept as an attribute.
DWORD QueryStreamPresence(const std::string& path, const std::string& name, bool& present);

// The stream's size for an attribute value of `attributeSize` bytes. Samba
// leaves an empty value for a stream that was made and never written.
size_t StreamSizeOf(const StreamAttribute& where, size_t attributeSize);

// The attribute value that stores stream bytes `data`.
std::string AttributeValueOf(const StreamAttribute& where, const std::string& data);

}  // namespace mvx
