// A single- or double-byte code page held as tables, read once from glibc's
// converter for that page.
#pragma once

#include "platform/posix/text/CodePage.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace mvx {

struct ByteRange {
    unsigned char first, last;
};

// Where a double-byte page puts the first and second bytes of its pairs.
struct DoubleByteLayout {
    ByteRange leads[2];
    ByteRange trails[2];
};

class CodePageTable final : public CodePage {
public:
    // Null when glibc has no converter of that name. `layout` is null for a
    // single-byte page.
    static std::unique_ptr<CodePageTable> Load(UINT number, const char* converterName,
                                               const DoubleByteLayout* layout);

    UINT Number() const override { return number_; }
    bool IsLeadByte(unsigned char byte) const override { return leads_[byte]; }
    std::size_t Decode(const char* text, std::size_t count, char32_t& character) const override;
    bool Encode(char32_t character, std::string& out) const override;

private:
    class Reader;

    CodePageTable(UINT number, const DoubleByteLayout* layout);
    void AddSequence(std::uint16_t code, char32_t character, const Reader& reader);

    UINT number_;
    std::bitset<256> leads_;
    std::bitset<256> trails_;
    std::array<char32_t, 256> singles_;
    // Pairs are keyed lead << 8 | trail; a code below 0x100 is a single byte.
    std::unordered_map<std::uint16_t, char32_t> pairs_;
    std::unordered_map<char32_t, std::uint16_t> codes_;
};

}  // namespace mvx
