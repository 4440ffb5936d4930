#include "hostapi/ScreenKeeper.h"

#include "hostapi/HostServices.h"

void ScreenKeeper::Save() {
    if (saved)
        return;
    screen = g_HostServices.ScreenSave();
    saved = true;
}

void ScreenKeeper::Restore() {
    if (!saved)
        return;
    saved = false;
    g_HostServices.ScreenRestore(screen);
}
