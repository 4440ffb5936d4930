#!/usr/bin/env python3
"""Checks that the code includes only downward.

Each folder has a place in one of two stacks, read from the bottom up:

  plug-in: platform, common, hostapi, streams, security, transfer, plugin
  host:    platform, hostapi, host/text, host/module, host/messages, host/dialogs,
           host/panel, host/commandline, host/destinations, host/settings,
           host/listing, host/commands, host

A file may include its own folder and the folders below it in its stack,
nothing above and nothing beside. Above the seam (every folder but platform/)
only platform/win32.h and platform/PluginExport.h may be included: the Win32
layer's own headers under platform/posix/ are its business. The morvex program
alone may also include platform/RegistryFileCheck.h, the layer's report on the
registry file, which the plug-in must never see. Tests, fuzz targets
and benchmarks sit on top of everything and may reach the layer's test
controls, so they are not checked.

Prints one line per include that breaks the order and exits 1 when there is any.
"""
import os
import re
import sys

PLUGIN_STACK = ["platform", "common", "hostapi", "streams", "security", "transfer", "plugin"]
HOST_STACK = ["platform", "hostapi", "host/text", "host/module", "host/messages", "host/dialogs",
              "host/panel", "host/commandline", "host/destinations", "host/settings",
              "host/listing", "host/commands", "host"]
SEAM_HEADERS = {"platform/win32.h", "platform/PluginExport.h"}
HOST_SEAM_HEADERS = {"platform/RegistryFileCheck.h"}
UNCHECKED = ("tests/", "fuzz/", "bench/")
SOURCE = re.compile(r"\.(cpp|h)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path, stack):
    """The deepest folder of `stack` that holds `path`, or None."""
    best = None
    for folder in stack:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def stack_of(path):
    if path.startswith("host/"):
        return HOST_STACK
    if folder_of(path, PLUGIN_STACK):
        return PLUGIN_STACK
    return None


def problem(source, included):
    """Why `source` may not include `included`, or None when it may."""
    stack = stack_of(source)
    own = folder_of(source, stack)
    if own == "platform":
        return None if included.startswith("platform/") else "the Win32 layer includes only itself"
    if included.startswith("platform/"):
        if included in SEAM_HEADERS or (stack is HOST_STACK and included in HOST_SEAM_HEADERS):
            return None
        return "an internal header of the Win32 layer, above the seam"
    target = folder_of(included, stack)
    if target is None:
        where = folder_of(included, PLUGIN_STACK + HOST_STACK)
        return f"{where or 'an unknown folder'} is not below {own}"
    if stack.index(target) > stack.index(own):
        return f"{target} is above {own}"
    return None


def resolved(root, source, included):
    """`included` from the top of the tree; a name relative to the source's own
    folder is taken as such when that file exists."""
    beside = os.path.normpath(os.path.join(os.path.dirname(source), included))
    if not os.path.exists(os.path.join(root, included)) and os.path.exists(os.path.join(root, beside)):
        return beside
    return included


def tracked_sources(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = [d for d in subfolders if not d.startswith(".") and d != "build"]
        for name in files:
            path = os.path.relpath(os.path.join(folder, name), root)
            if SOURCE.search(name) and not path.startswith(UNCHECKED) and stack_of(path):
                yield path


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    found = 0
    checked = 0
    for path in sorted(tracked_sources(root)):
        checked += 1
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                why = match and problem(path, resolved(root, path, match.group(1)))
                if why:
                    print(f"{path}:{number}: includes {match.group(1)}: {why}")
                    found += 1
    if found:
        print(f"include order: {found} include(s) against the order, in {checked} files")
        return 1
    print(f"include order: {checked} files include only downward")
    return 0


if __name__ == "__main__":
    sys.exit(main())
