#include "platform/posix/text/CodePageTable.h"

#include "platform/posix/text/UnicodeEncoding.h"

#include <iconv.h>

namespace mvx {

// Asks one glibc converter pair about single characters while the tables are
// being built; glibc is consulted only then, never during a conversion.
class CodePageTable::Reader {
public:
    explicit Reader(const char* converterName)
        : decoder_(iconv_open("UTF-32LE", converterName)),
          encoder_(iconv_open(converterName, "UTF-32LE")) {}
    ~Reader() {
        if (decoder_ != kNone) iconv_close(decoder_);
        if (encoder_ != kNone) iconv_close(encoder_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool Usable() const { return decoder_ != kNone && encoder_ != kNone; }

    // The one character that exactly these bytes stand for, if any.
    char32_t Decode(const unsigned char* bytes, std::size_t count) const {
        char32_t character = kInvalidCharacter;
        std::size_t produced = 0;
        if (!Run(decoder_, bytes, count, reinterpret_cast<unsigned char*>(&character),
                 sizeof character, produced) ||
            produced != sizeof character)
            return kInvalidCharacter;
        return character;
    }

    // The bytes glibc writes for `character`, as a table code; false if none.
    bool Encode(char32_t character, std::uint16_t& code) const {
        unsigned char bytes[4];
        std::size_t produced = 0;
        if (!Run(encoder_, reinterpret_cast<const unsigned char*>(&character), sizeof character,
                 bytes, sizeof bytes, produced))
            return false;
        if (produced == 1) code = bytes[0];
        else if (produced == 2) code = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
        return produced == 1 || produced == 2;
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

    // Converts all of the input at once; the state is reset first, so no
    // earlier question influences this one.
    static bool Run(iconv_t converter, const unsigned char* in, std::size_t inCount,
                    unsigned char* out, std::size_t outCount, std::size_t& produced) {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        char* inPos = const_cast<char*>(reinterpret_cast<const char*>(in));
        char* outPos = reinterpret_cast<char*>(out);
        std::size_t outLeft = outCount;
        const bool done = iconv(converter, &inPos, &inCount, &outPos, &outLeft) !=
                          static_cast<std::size_t>(-1);
        produced = outCount - outLeft;
        return done && inCount == 0;
    }

    iconv_t decoder_;
    iconv_t encoder_;
};

namespace {

void Mark(std::bitset<256>& set, const ByteRange (&ranges)[2]) {
    for (const ByteRange& range : ranges)
        for (unsigned b = range.first; b <= range.last; ++b) set.set(b);
}

}  // namespace

CodePageTable::CodePageTable(UINT number, const DoubleByteLayout* layout) : number_(number) {
    singles_.fill(kInvalidCharacter);
    if (!layout) return;
    Mark(leads_, layout->leads);
    Mark(trails_, layout->trails);
}

std::unique_ptr<CodePageTable> CodePageTable::Load(UINT number, const char* converterName,
                                                   const DoubleByteLayout* layout) {
    const Reader reader(converterName);
    if (!reader.Usable()) return nullptr;
    std::unique_ptr<CodePageTable> table(new CodePageTable(number, layout));
    for (unsigned b = 0; b < 256; ++b) {
        if (table->leads_[b]) continue;
        const unsigned char byte = static_cast<unsigned char>(b);
        char32_t character = reader.Decode(&byte, 1);
        // Windows defines every byte of its single-byte pages; where glibc
        // leaves a byte of the 125x pages undefined, Windows has the C1
        // control of the same value.
        if (character == kInvalidCharacter && !layout) character = b;
        if (character != kInvalidCharacter)
            table->AddSequence(static_cast<std::uint16_t>(b), character, reader);
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!table->leads_[lead]) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            if (!table->trails_[trail]) continue;
            const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                           static_cast<unsigned char>(trail)};
            const char32_t character = reader.Decode(pair, 2);
            if (character != kInvalidCharacter)
                table->AddSequence(static_cast<std::uint16_t>(lead << 8 | trail), character,
                                   reader);
        }
    }
    return table;
}

// Some characters have two codes (932 repeats parts of its IBM and NEC
// extensions); the one glibc's encoder picks is the one Windows writes.
void CodePageTable::AddSequence(std::uint16_t code, char32_t character, const Reader& reader) {
    if (code < 0x100) singles_[code] = character;
    else pairs_.emplace(code, character);
    auto existing = codes_.find(character);
    if (existing == codes_.end()) {
        codes_.emplace(character, code);
        return;
    }
    std::uint16_t preferred = 0;
    if (reader.Encode(character, preferred) && preferred == code) existing->second = code;
}

std::size_t CodePageTable::Decode(const char* text, std::size_t count,
                                  char32_t& character) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (!leads_[bytes[0]]) {
        character = singles_[bytes[0]];
        return 1;
    }
    if (count < 2 || !trails_[bytes[1]]) {
        character = kInvalidCharacter;
        return 1;
    }
    const auto found = pairs_.find(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
    character = found == pairs_.end() ? kInvalidCharacter : found->second;
    return 2;
}

bool CodePageTable::Encode(char32_t character, std::string& out) const {
    const auto found = codes_.find(character);
    if (found == codes_.end()) return false;
    if (found->second >= 0x100) out += static_cast<char>(found->second >> 8);
    out += static_cast<char>(found->second & 0xFF);
    return true;
}

}  // namespace mvx
