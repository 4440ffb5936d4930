// Marks the plug-in's entry points. On Windows the module definition file
// names the exports; on Linux only these symbols leave the module.
#pragma once

#if defined(_WIN32)
#define PLUGIN_EXPORT
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
