#include "plugin/ScreenKeeper.h"

#include "plugin/HostServices.h"

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
