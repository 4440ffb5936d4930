// The round trip of streams through the morvex program: streams with random
// names are listed, copied out with `get` and written back with `put` into a
// new file, and every step is compared byte for byte with the originals.
#pragma once

#include <map>
#include <string>
#include <vector>

// Stream name (UTF-8) to contents.
using StreamSet = std::map<std::string, std::string>;

// Every character (UTF-8) that code page `codePage` (65001 or a single-byte
// page) carries in a stream name: all of them but NUL for a single-byte page;
// ASCII and a sample of each UTF-8 length otherwise.
std::vector<std::string> NameAlphabet(unsigned codePage);

// Streams whose names use every character of `alphabet` at least once, but
// for the separators and the colon, in an order and with contents drawn from
// `seed`; among them the names that play with the item-name notation.
StreamSet RandomStreams(const std::vector<std::string>& alphabet, unsigned seed);

struct UnreachableName {
    std::string name;
    std::string error;  // what `get` says of it
};

// Names of streams that Windows cannot be given as path:name (separators,
// "..", a trailing dot or blank would reach another file; a colon ends the
// name), with what `get` says of each on Linux: nothing when it copies it.
std::vector<UnreachableName> UnreachableStreamNames();

// `get` of the one stream of `original` (item #2) is refused with `error`, and
// nothing is written into `workDir` but the destination's folders; with no
// error, one file is written, inside the destination.
void ExpectRefused(const std::string& original, const std::string& error,
                   const std::string& workDir, const std::vector<std::string>& environment);

// The named streams (user.* attributes) of a Linux file.
StreamSet StreamsOf(const std::string& file);

// Gives `file` the streams `streams`; false when the file system refuses one.
bool AddStreams(const std::string& file, const StreamSet& streams);

// In `workDir`: gives the new file "original" random streams, whose names
// hold every character code page `codePage` carries (RandomStreams, `seed`),
// lists it, gets every item into a folder below `workDir`, and puts the
// copies into the new file "copy", each step checked through GoogleTest
// (nothing written outside the folder; copies and streams equal byte for
// byte). `registry` is the settings file. Returns the streams.
StreamSet RoundTrip(const std::string& workDir, unsigned codePage, unsigned seed,
                    const std::string& registry);
