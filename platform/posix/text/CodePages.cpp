// The current ANSI and OEM pages.
#include "platform/posix/text/CodePages.h"

#include "platform/posix/text/CodePage.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace mvx {
namespace {

const CodePage& Utf8Page() { return *FindCodePage(CP_UTF8); }

const CodePage* SupportedPage(const char* number) {
    if (!std::isdigit(static_cast<unsigned char>(number[0]))) return nullptr;
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(number, &end, 10);
    if (*end != '\0' || errno != 0 || value > UINT_MAX) return nullptr;
    try {
        return FindCodePage(static_cast<UINT>(value));
    } catch (...) {
        return nullptr;  // no memory for the page's tables: as if unsupported
    }
}

// A setting we cannot honour is said out loud rather than silently replaced.
const CodePage& PageFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return Utf8Page();
    if (const CodePage* page = SupportedPage(value)) return *page;
    // Told as the program tells its other warnings, under its own name.
    std::fprintf(stderr, "%s: %s=%s: code page not supported, using 65001 (UTF-8)\n",
                 program_invocation_short_name, variable, value);
    return Utf8Page();
}

struct CurrentPages {
    std::atomic<const CodePage*> ansi{&PageFromEnvironment("MORVEX_ACP")};
    std::atomic<const CodePage*> oem{&PageFromEnvironment("MORVEX_OEMCP")};
};

CurrentPages& Current() {
    static CurrentPages pages;
    return pages;
}

void Switch(std::atomic<const CodePage*>& current, UINT number) {
    if (number == 0) return;
    if (const CodePage* page = FindCodePage(number)) current = page;
}

}  // namespace

const CodePage& AnsiCodePage() { return *Current().ansi; }

const CodePage* LookUpCodePage(UINT number) {
    if (number == CP_ACP) return Current().ansi;
    if (number == CP_OEMCP) return Current().oem;
    return FindCodePage(number);
}

void SetCodePages(UINT ansi, UINT oem) {
    Switch(Current().ansi, ansi);
    Switch(Current().oem, oem);
}

}  // namespace mvx

extern "C" UINT WINAPI GetACP() { return mvx::AnsiCodePage().Number(); }

extern "C" UINT WINAPI GetOEMCP() { return mvx::Current().oem.load()->Number(); }
