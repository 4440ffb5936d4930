#include "plugin/OpenPath.h"

#include <cstring>
#include <memory>
#include <new>

#include "common/ErrorNumbers.h"
#include "common/FindHandle.h"
#include "common/FullPath.h"
#include "common/StringBase.h"
#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/ShowError.h"
#include "plugin/Settings.h"
#include "streams/StreamPanel.h"

namespace {

enum OpenFrom { kOpenFromPanelItem = 1, kOpenFromCommandLine = 4 };

// The host's panel command that fills a HostPanelInfo about the active panel.
constexpr int kGetPanelInfo = 1;
constexpr DWORD kFirstNtWithBackupStreams = 4;

// The host hands over what the user typed after the prefix, in double quotes
// when the name holds blanks; only one enclosing pair is removed.
HANDLE OpenFromCommandLine(const char* text) {
    if (text == nullptr || *text == 0)
        return INVALID_HANDLE_VALUE;
    CStringBase<char> name(text);
    int length = name.Length();
    if (length >= 2 && name.CharAt(0) == '"' && name.CharAt(length - 1) == '"')
        name = name.Substring(1, length - 2);
    return OpenStreamPanel(name.Ptr());
}

HANDLE OpenFromPanelItem() {
    HostPanelInfo info;
    std::memset(&info, 0, sizeof(info));
    if (g_HostServices.PanelControl(INVALID_HANDLE_VALUE, kGetPanelInfo, &info) == 0)
        throw kErrorPanelQueryRefused;
    // A current index outside the items would read memory that is not the
    // host's item array, so it counts as an empty panel.
    if (info.itemCount <= 0 || info.items == nullptr || info.currentItem < 0 ||
        info.currentItem >= info.itemCount)
        throw "There are no items";
    PanelItem item = info.items[info.currentItem];
    item.fileName[sizeof(item.fileName) - 1] = 0;
    return OpenStreamPanel(item.fileName);
}

}  // namespace

HANDLE OpenFromHostFile(const char* name) {
    if (name == nullptr || !UsedByDefault)
        return INVALID_HANDLE_VALUE;
    return OpenStreamPanel(name);
}

HANDLE OpenFromPluginEntry(int openFrom, INT_PTR argument) {
    switch (openFrom) {
        case kOpenFromCommandLine:
            return OpenFromCommandLine(reinterpret_cast<const char*>(argument));
        case kOpenFromPanelItem:
            return OpenFromPanelItem();
        default:
            return INVALID_HANDLE_VALUE;
    }
}

HANDLE OpenStreamPanel(const char* name) {
    if (!IsSupportedSystem()) {
        ShowErrorMessage(kMsgUnsupportedSystem);
        return INVALID_HANDLE_VALUE;
    }
    CStringBase<char> trimmed(name);
    trimmed.TrimRight();
    trimmed.TrimLeft();
    // A path too long to be formed whole must not be looked up in its cut form.
    CStringBase<char> fullPath;
    if (!GetFullPath(trimmed.Ptr(), fullPath))
        return INVALID_HANDLE_VALUE;
    FileInfo info;
    if (!FileExists(fullPath.Ptr(), info))
        return INVALID_HANDLE_VALUE;

    // Owned here until handed to the host, so that a failing walk frees it.
    std::unique_ptr<StreamPanel> panel(new (std::nothrow) StreamPanel);
    if (!panel)
        return INVALID_HANDLE_VALUE;
    if (!panel->Open(fullPath, info))
        return INVALID_HANDLE_VALUE;
    return panel.release();
}

bool IsSupportedSystem() {
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
    if (!GetVersionExA(&version))
        throw "GetVersionEx fails";
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion >= kFirstNtWithBackupStreams;
}
