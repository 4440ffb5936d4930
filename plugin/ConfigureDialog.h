// The settings dialog behind the Configure entry point: a frame, a check box
// per switch, a separator and the confirm and cancel buttons.
#pragma once

// Shows the dialog with the current switches. When it is confirmed, takes the
// boxes' states as the new switches, stores them and returns 1; any other
// way of closing it changes nothing and returns 0.
int RunConfigureDialog();
