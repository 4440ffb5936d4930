// Whether a file or directory may have alternate data streams, told from its
// extended attributes alone: a look of two system calls, where opening the
// file through the plug-in costs some fifty times as much.
//
// The layer shows one alternate data stream for each user.* attribute of a
// file, or, where ntfs-3g hands streams out as paths FILE:NAME, one for each
// name in the attribute ntfs.streams.list (listxattr names neither there). So
// a file whose attribute list holds no user.* name and that has no, or an
// empty, ntfs.streams.list has no alternate data stream the panel could show.
// user.DOSATTRIB, which a Samba server keeps on every file of a share, does
// not count: it puts the file in Samba's form, where only the stream
// attributes are streams, so a share's files without streams stay unopened.
// Whatever cannot be told for sure (a list that cannot be read, an answer the
// layer would not take for "absent") counts as "may have": the plug-in then
// opens the file and reports what it finds, or why it cannot. One exception:
// ntfs.streams.list is ntfs-3g's, so where the file is not on a FUSE volume a
// failing look at it (a file the user may not read) cannot hide a stream.
//
// Off FUSE volumes that attribute cannot exist (the system knows no ntfs.*
// names), so it is asked for only on them. Whether a file is on one is told by
// its folder, which a walk asks about for many files in a row; a directory,
// which may be a volume's root, is asked about itself.
#pragma once

#include <string>

class AlternateStreamFilter {
public:
    bool MayHaveAlternateStreams(const std::string& path, bool directory);

private:
    bool OnFuse(const std::string& path, bool directory);

    std::string folder_;  // the folder last asked about, and whether it is on FUSE
    bool folderOnFuse_ = true;
};
