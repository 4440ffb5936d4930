#include "tests/windows/BackupStandIn.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

std::vector<StandInStream> g_Streams;
int g_OpenWalks = 0;

// The fixed part of a stream header; the name follows it.
const DWORD kHeaderSize = offsetof(WIN32_STREAM_ID, cStreamName);

// Where a walk stands: a stream, and a byte offset into its header, name and
// data taken as one sequence.
struct Walk {
    size_t stream = 0;
    uint64_t offset = 0;
};

std::vector<BYTE> HeaderBytes(const StandInStream& stream) {
    WIN32_STREAM_ID header;
    std::memset(&header, 0, sizeof(header));
    header.dwStreamId = stream.id;
    header.Size.QuadPart = static_cast<LONGLONG>(stream.size);
    header.dwStreamNameSize = static_cast<DWORD>(stream.name.size() * sizeof(WCHAR));
    std::vector<BYTE> bytes(kHeaderSize + header.dwStreamNameSize);
    std::memcpy(bytes.data(), &header, kHeaderSize);
    std::memcpy(bytes.data() + kHeaderSize, stream.name.data(), header.dwStreamNameSize);
    return bytes;
}

// Steps over streams the walk has read to their end.
void SettleWalk(Walk& walk) {
    while (walk.stream < g_Streams.size() &&
           walk.offset == HeaderBytes(g_Streams[walk.stream]).size() +
                              g_Streams[walk.stream].size) {
        ++walk.stream;
        walk.offset = 0;
    }
}

// Reads stop at the end of the current stream, as the system's do; the data
// of a stream reads as zeros.
BOOL WINAPI StandInBackupRead(HANDLE, LPBYTE buffer, DWORD count, LPDWORD bytesRead,
                              BOOL abort, BOOL, LPVOID* context) {
    Walk* walk = static_cast<Walk*>(*context);
    if (abort) {
        if (walk != nullptr)
            --g_OpenWalks;
        delete walk;
        *context = nullptr;
        return TRUE;
    }
    if (walk == nullptr) {
        walk = new Walk;
        *context = walk;
        ++g_OpenWalks;
    }
    *bytesRead = 0;
    SettleWalk(*walk);
    if (walk->stream == g_Streams.size())
        return TRUE;
    const std::vector<BYTE> header = HeaderBytes(g_Streams[walk->stream]);
    const uint64_t end = header.size() + g_Streams[walk->stream].size;
    const DWORD taken = static_cast<DWORD>(std::min<uint64_t>(count, end - walk->offset));
    for (DWORD i = 0; i < taken; ++i) {
        const uint64_t at = walk->offset + i;
        buffer[i] = at < header.size() ? header[static_cast<size_t>(at)] : 0;
    }
    walk->offset += taken;
    *bytesRead = taken;
    return TRUE;
}

// Seeks only inside the data of the current stream, never into the next header.
BOOL WINAPI StandInBackupSeek(HANDLE, DWORD low, DWORD high, LPDWORD seekedLow,
                              LPDWORD seekedHigh, LPVOID* context) {
    *seekedLow = 0;
    *seekedHigh = 0;
    Walk* walk = static_cast<Walk*>(*context);
    if (walk == nullptr || walk->stream >= g_Streams.size()) {
        SetLastError(ERROR_SEEK);
        return FALSE;
    }
    const uint64_t dataStart = HeaderBytes(g_Streams[walk->stream]).size();
    const uint64_t end = dataStart + g_Streams[walk->stream].size;
    if (walk->offset < dataStart) {
        SetLastError(ERROR_SEEK);
        return FALSE;
    }
    const uint64_t wanted = (static_cast<uint64_t>(high) << 32) | low;
    const uint64_t skipped = std::min(wanted, end - walk->offset);
    walk->offset += skipped;
    *seekedLow = static_cast<DWORD>(skipped);
    *seekedHigh = static_cast<DWORD>(skipped >> 32);
    if (skipped == wanted)
        return TRUE;
    SetLastError(ERROR_SEEK);
    return FALSE;
}

bool WriteSlot(ULONG_PTR* slot, const void* function) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection))
        return false;
    *slot = reinterpret_cast<ULONG_PTR>(function);
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
    return true;
}

// Redirects the imports of one DLL's descriptor; returns how many it redirected.
int RedirectImports(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& descriptor) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + descriptor.OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + descriptor.FirstThunk);
    int redirected = 0;
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal))
            continue;
        const char* name = reinterpret_cast<const char*>(
            reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
        const void* standIn = nullptr;
        if (std::strcmp(name, "BackupRead") == 0)
            standIn = reinterpret_cast<const void*>(StandInBackupRead);
        else if (std::strcmp(name, "BackupSeek") == 0)
            standIn = reinterpret_cast<const void*>(StandInBackupSeek);
        if (standIn != nullptr && WriteSlot(&slots->u1.Function, standIn))
            ++redirected;
    }
    return redirected;
}

}  // namespace

bool InstallBackupStandIn(HMODULE module) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    if (base == nullptr)
        return false;
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int redirected = 0;
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), "KERNEL32.dll") == 0)
            redirected += RedirectImports(base, *descriptor);
    }
    return redirected == 2;
}

void SetStandInStreams(std::vector<StandInStream> streams) {
    g_Streams = std::move(streams);
}

int OpenStandInWalks() {
    return g_OpenWalks;
}
