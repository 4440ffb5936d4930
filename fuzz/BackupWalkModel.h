// What the backup stream walk must make of the bytes BackupRead delivers for
// one file: 20 bytes of header, the name, the data skipped, stream after
// stream, until the bytes run out between two streams (the end) or the walk
// cannot go on (an error number).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct WalkModel {
    // One stream the walk must find, as its header announces it.
    struct Stream {
        uint32_t kindId = 0;
        uint32_t attributes = 0;
        uint64_t size = 0;
        // The name's bytes (UTF-16, little-endian) lie in the input at
        // nameAt; 0 bytes for an unnamed stream.
        size_t nameAt = 0;
        uint32_t nameSize = 0;
    };

    // The streams before the end or before the one the walk stops at.
    std::vector<Stream> streams;
    // 0 when the walk reaches the end, else kErrorOddStreamNameSize or
    // kErrorBackupWalkOutOfStep.
    unsigned error = 0;
};

WalkModel ModelWalk(const std::string& bytes);
