// Backup stream sequences built by hand, for substituting what BackupRead
// delivers: a header is the 20 fixed bytes and the UTF-16 name.
#pragma once

#include <cstdint>
#include <string>

inline void AppendLittleEndian(std::string& bytes, uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A header whose name size is the byte size of `name`.
inline std::string StreamHeader(uint32_t id, uint32_t attributes, uint64_t size,
                                const std::u16string& name = u"") {
    std::string bytes;
    AppendLittleEndian(bytes, id, 4);
    AppendLittleEndian(bytes, attributes, 4);
    AppendLittleEndian(bytes, size, 8);
    AppendLittleEndian(bytes, 2 * name.size(), 4);
    for (char16_t c : name)
        AppendLittleEndian(bytes, c, 2);
    return bytes;
}

// A header that announces a name of `nameSize` bytes without holding it.
inline std::string HeaderWithNameSize(uint32_t id, uint64_t size, uint32_t nameSize) {
    std::string bytes = StreamHeader(id, 0, size);
    bytes.resize(16);
    AppendLittleEndian(bytes, nameSize, 4);
    return bytes;
}

// A header and `size` bytes of data.
inline std::string Stream(uint32_t id, uint64_t size, const std::u16string& name = u"") {
    return StreamHeader(id, 0, size, name) + std::string(size, 'd');
}
