// The plug-in's name: its command prefix on the host's command line, the
// name it gives the host for its panels and the last part of its settings key.
#pragma once

inline constexpr char kPluginName[] = "MORVEX";
