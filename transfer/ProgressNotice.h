// The box a transfer leaves standing while it works: the plug-in's title and
// one line saying what is being done, without buttons.
#pragma once

#include "hostapi/ScreenKeeper.h"

// Unless `opMode` holds OpModeQuiet or OpModeNoProgress, saves the screen in
// `screen`, which puts it back when the transfer ends, and shows the notice
// with the text of `message`.
void ShowProgressNotice(ScreenKeeper& screen, unsigned opMode, int message);
