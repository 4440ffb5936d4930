#include "platform/posix/security/SambaDescriptor.h"

#include "platform/posix/core/LittleEndian.h"
#include "platform/posix/security/SecurityDescriptor.h"

#include <utility>

namespace mvx {

const char kSambaDescriptorName[] = "security.NTACL";

namespace {

// Sizes of the fixed fields that precede the descriptor in each version.
constexpr size_t kHashV2 = 16;
constexpr size_t kHashType = 2;
constexpr size_t kHashV3 = 64;
constexpr size_t kTime = 8;
// A descriptor's header: revision, resource manager bits, control, then the
// offsets of owner, group, SACL and DACL.
constexpr size_t kDescriptorHeaderSize = 20;
constexpr size_t kFirstOffsetAt = 4;

// Reads NDR's little-endian scalars, every step checked against the end.
class NdrReader {
public:
    explicit NdrReader(const std::string& bytes) : bytes_(bytes) {}

    bool Word(WORD& value) { return Take(2, [&](const BYTE* at) { value = WordAt(at); }); }
    bool Dword(DWORD& value) { return Take(4, [&](const BYTE* at) { value = DwordAt(at); }); }
    bool Skip(size_t count) { return Take(count, [](const BYTE*) {}); }
    // A NUL-terminated string, NUL included.
    bool SkipString() {
        const size_t end = bytes_.find('\0', position_);
        return end != std::string::npos && Skip(end + 1 - position_);
    }
    // Scalars and pointed-to structures start at a multiple of four.
    bool Align4() { return Skip((4 - position_ % 4) % 4); }
    size_t Position() const { return position_; }

private:
    template <typename Use>
    bool Take(size_t count, Use use) {
        if (count > bytes_.size() - position_) return false;
        use(reinterpret_cast<const BYTE*>(bytes_.data()) + position_);
        position_ += count;
        return true;
    }

    const std::string& bytes_;
    size_t position_ = 0;
};

// Past the hashed version's fields that follow the descriptor's pointer.
bool SkipHashFields(NdrReader& reader, WORD version) {
    switch (version) {
    case 1: return true;
    case 2: return reader.Skip(kHashV2);
    case 3: return reader.Skip(kHashType + kHashV3);
    case 4:
        return reader.Skip(kHashType + kHashV3) && reader.SkipString() && reader.Align4() &&
               reader.Skip(kTime + kHashV3);
    default: return false;
    }
}

// The version, the union's arm (which must agree), a pointer to the hashed
// structure from version 2 on, then the descriptor's pointer: a pointer of 0
// means no descriptor.
bool FindDescriptor(NdrReader& reader) {
    WORD version = 0, arm = 0;
    DWORD pointer = 0;
    if (!reader.Word(version) || !reader.Word(arm) || arm != version || version < 1 ||
        version > 4 || !reader.Dword(pointer) || pointer == 0)
        return false;
    if (version > 1 && (!reader.Dword(pointer) || pointer == 0)) return false;
    return SkipHashFields(reader, version) && reader.Align4();
}

// NDR counts the descriptor's offsets from the start of the whole blob, not
// from the descriptor's own. With the header copied to the blob's start they
// mean what they do in a self-relative descriptor; an offset into what came
// before the descriptor points at no part of it.
bool RebaseHeader(const std::string& blob, size_t start, std::string& rebased) {
    if (blob.size() - start < kDescriptorHeaderSize) return false;
    const BYTE* header = reinterpret_cast<const BYTE*>(blob.data()) + start;
    for (size_t at = kFirstOffsetAt; at < kDescriptorHeaderSize; at += 4) {
        const DWORD offset = DwordAt(header + at);
        if (offset != 0 && offset < start + kDescriptorHeaderSize) return false;
    }
    rebased = blob;
    rebased.replace(0, kDescriptorHeaderSize, blob, start, kDescriptorHeaderSize);
    return true;
}

}  // namespace

bool SambaDescriptorOf(const std::string& blob, std::string& descriptor) {
    NdrReader reader(blob);
    if (!FindDescriptor(reader)) return false;
    const size_t start = reader.Position();
    std::string rebased;
    DescriptorParts parts;
    if (!RebaseHeader(blob, start, rebased) || !ParseSelfRelative(rebased, parts)) return false;
    // What is handed out must read back whole as a descriptor of its own
    // length; one that would not is as damaged as the blob it came from.
    std::string made = MakeSelfRelative(parts);
    PartOffsets where;
    if (SelfRelativeLength(reinterpret_cast<const BYTE*>(made.data()), where) != made.size())
        return false;
    descriptor = std::move(made);
    return true;
}

}  // namespace mvx
