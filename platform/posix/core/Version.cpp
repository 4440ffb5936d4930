// GetVersionExA: the version of Windows this layer stands in for.
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/VersionControl.h"

#include <cstring>
#include <mutex>

namespace mvx {
namespace {

struct VersionAnswer {
    DWORD platformId, major, minor, build;
};

const VersionAnswer kWindows10 = {VER_PLATFORM_WIN32_NT, 10, 0, 19045};

// OSVERSIONINFOEXA: the same head, then service pack, suite and product type.
constexpr DWORD kExtendedSize = 156;
constexpr WORD kSuiteSingleUserTerminal = 0x0100;
constexpr BYTE kProductWorkstation = 1;

struct VersionState {
    std::mutex lock;
    VersionAnswer answer = kWindows10;
};

VersionState& State() {
    static VersionState state;
    return state;
}

VersionAnswer CurrentAnswer() {
    std::lock_guard<std::mutex> guard(State().lock);
    return State().answer;
}

void Answer(const VersionAnswer& answer) {
    std::lock_guard<std::mutex> guard(State().lock);
    State().answer = answer;
}

void FillExtension(OSVERSIONINFOA& info) {
    unsigned char* tail = reinterpret_cast<unsigned char*>(&info) + sizeof(OSVERSIONINFOA);
    const WORD servicePackMajor = 0, servicePackMinor = 0;
    std::memcpy(tail, &servicePackMajor, sizeof(WORD));
    std::memcpy(tail + 2, &servicePackMinor, sizeof(WORD));
    std::memcpy(tail + 4, &kSuiteSingleUserTerminal, sizeof(WORD));
    tail[6] = kProductWorkstation;
    tail[7] = 0;
}

}  // namespace

void SetVersionAnswer(DWORD platformId, DWORD major, DWORD minor) {
    Answer({platformId, major, minor, 0});
}

void ResetVersionAnswer() { Answer(kWindows10); }

}  // namespace mvx

static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA has the Windows layout");

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (mvx::FaultHit("GetVersionExA")) return FALSE;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != mvx::kExtendedSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const mvx::VersionAnswer answer = mvx::CurrentAnswer();
    info->dwMajorVersion = answer.major;
    info->dwMinorVersion = answer.minor;
    info->dwBuildNumber = answer.build;
    info->dwPlatformId = answer.platformId;
    std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
    if (size == mvx::kExtendedSize) mvx::FillExtension(*info);
    return TRUE;
}
