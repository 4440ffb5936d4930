// One panel item as the host exchanges it: 366 bytes, packed. The first 318
// bytes are laid out as a directory search result (WIN32_FIND_DATAA without
// its tail padding), so the host can treat stream items and files alike.
#pragma once

#include <cstddef>

#include "platform/win32.h"

#pragma pack(push, 1)
struct PanelItem {
    DWORD fileAttributes;
    FILETIME creationTime;
    FILETIME lastAccessTime;
    FILETIME lastWriteTime;
    DWORD sizeHigh;
    DWORD sizeLow;
    DWORD reserved0;
    DWORD reserved1;
    char fileName[MAX_PATH];
    char alternateFileName[14];
    // Host-defined from here on; the panel writes the stream size a second time.
    DWORD hostSizeHigh;
    DWORD hostSizeLow;
    DWORD hostValue326;
    DWORD hostValue330;
    char* description;
    void* hostPointer338;
    void* hostPointer342;
    DWORD hostValue346;
    // Index of the item's stream in the panel's list; the host hands it back.
    DWORD itemIndex;
    DWORD hostValue354;
    DWORD reserved358;
    DWORD reserved362;
};
#pragma pack(pop)

static_assert(sizeof(PanelItem) == 366, "PanelItem is 366 bytes");
static_assert(offsetof(PanelItem, fileAttributes) == 0, "PanelItem layout");
static_assert(offsetof(PanelItem, creationTime) == 4, "PanelItem layout");
static_assert(offsetof(PanelItem, lastAccessTime) == 12, "PanelItem layout");
static_assert(offsetof(PanelItem, lastWriteTime) == 20, "PanelItem layout");
static_assert(offsetof(PanelItem, sizeHigh) == 28, "PanelItem layout");
static_assert(offsetof(PanelItem, sizeLow) == 32, "PanelItem layout");
static_assert(offsetof(PanelItem, reserved0) == 36, "PanelItem layout");
static_assert(offsetof(PanelItem, reserved1) == 40, "PanelItem layout");
static_assert(offsetof(PanelItem, fileName) == 44, "PanelItem layout");
static_assert(offsetof(PanelItem, alternateFileName) == 304, "PanelItem layout");
static_assert(offsetof(PanelItem, hostSizeHigh) == 318, "PanelItem layout");
static_assert(offsetof(PanelItem, hostSizeLow) == 322, "PanelItem layout");
static_assert(offsetof(PanelItem, hostValue326) == 326, "PanelItem layout");
static_assert(offsetof(PanelItem, hostValue330) == 330, "PanelItem layout");
static_assert(offsetof(PanelItem, description) == 334, "PanelItem layout");
static_assert(offsetof(PanelItem, hostPointer338) == 338, "PanelItem layout");
static_assert(offsetof(PanelItem, hostPointer342) == 342, "PanelItem layout");
static_assert(offsetof(PanelItem, hostValue346) == 346, "PanelItem layout");
static_assert(offsetof(PanelItem, itemIndex) == 350, "PanelItem layout");
static_assert(offsetof(PanelItem, hostValue354) == 354, "PanelItem layout");
static_assert(offsetof(PanelItem, reserved358) == 358, "PanelItem layout");
static_assert(offsetof(PanelItem, reserved362) == 362, "PanelItem layout");

// The search-result part must match the system's own record field for field.
static_assert(offsetof(WIN32_FIND_DATAA, dwFileAttributes) == offsetof(PanelItem, fileAttributes),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, ftCreationTime) == offsetof(PanelItem, creationTime),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, ftLastAccessTime) == offsetof(PanelItem, lastAccessTime),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, ftLastWriteTime) == offsetof(PanelItem, lastWriteTime),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, nFileSizeHigh) == offsetof(PanelItem, sizeHigh),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, nFileSizeLow) == offsetof(PanelItem, sizeLow),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, cFileName) == offsetof(PanelItem, fileName),
              "find data layout");
static_assert(offsetof(WIN32_FIND_DATAA, cAlternateFileName) ==
                  offsetof(PanelItem, alternateFileName),
              "find data layout");
