#include "platform/posix/text/CodePage.h"

#include "platform/posix/text/CodePageTable.h"
#include "platform/posix/text/UnicodeEncoding.h"

#include <iterator>
#include <mutex>

namespace mvx {
namespace {

class Utf8CodePage final : public CodePage {
public:
    UINT Number() const override { return CP_UTF8; }
    bool IsLeadByte(unsigned char) const override { return false; }
    std::size_t Decode(const char* text, std::size_t count, char32_t& character) const override {
        return DecodeUtf8(text, count, character);
    }
    bool Encode(char32_t character, std::string& out) const override {
        if (!IsScalarValue(character)) return false;
        AppendUtf8(character, out);
        return true;
    }
};

struct TablePage {
    UINT number;
    const char* converterName;
    const DoubleByteLayout* layout;
};

constexpr DoubleByteLayout kShiftJisLayout = {{{0x81, 0x9F}, {0xE0, 0xFC}},
                                              {{0x40, 0x7E}, {0x80, 0xFC}}};

constexpr TablePage kTablePages[] = {
    {437, "IBM437", nullptr},   {850, "IBM850", nullptr},   {852, "IBM852", nullptr},
    {866, "IBM866", nullptr},   {1250, "CP1250", nullptr},  {1251, "CP1251", nullptr},
    {1252, "CP1252", nullptr},  {932, "CP932", &kShiftJisLayout},
};

// A page's tables are built on its first use, once, whichever thread asks.
const CodePage* LoadedTablePage(std::size_t index) {
    struct Slot {
        std::once_flag once;
        std::unique_ptr<CodePageTable> table;
    };
    static Slot slots[std::size(kTablePages)];
    Slot& slot = slots[index];
    const TablePage& page = kTablePages[index];
    std::call_once(slot.once, [&] {
        slot.table = CodePageTable::Load(page.number, page.converterName, page.layout);
    });
    return slot.table.get();
}

}  // namespace

const CodePage* FindCodePage(UINT number) {
    static const Utf8CodePage utf8;
    if (number == CP_UTF8) return &utf8;
    for (std::size_t i = 0; i < std::size(kTablePages); ++i)
        if (kTablePages[i].number == number) return LoadedTablePage(i);
    return nullptr;
}

}  // namespace mvx
