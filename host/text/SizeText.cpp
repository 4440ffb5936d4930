#include "host/text/SizeText.h"

namespace {

const char kUnits[] = "KMGTPE";
constexpr int kUnitCount = sizeof(kUnits) - 1;
constexpr uint64_t kStep = 1024;

}  // namespace

std::string HumanSize(uint64_t bytes) {
    if (bytes < kStep)
        return std::to_string(bytes);
    int unit = 0;
    uint64_t scale = kStep;
    while (unit + 1 < kUnitCount && bytes / scale >= kStep) {
        scale *= kStep;
        ++unit;
    }
    uint64_t whole = bytes / scale;
    const uint64_t rest = bytes % scale;
    if (whole < 10) {
        // rest < scale <= 2^60, so ten times it still fits.
        const uint64_t tenths = whole * 10 + (rest * 10 + scale - 1) / scale;
        if (tenths < 100)
            return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10) + kUnits[unit];
        whole = 10;
    } else if (rest != 0) {
        ++whole;
    }
    if (whole >= kStep && unit + 1 < kUnitCount)
        return std::string("1.0") + kUnits[unit + 1];
    return std::to_string(whole) + kUnits[unit];
}
