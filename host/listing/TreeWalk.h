// The regular files and directories of a tree, reached without following
// symbolic links: a link below the root is neither reported nor entered, so a
// link loop cannot trap the walk and a link out of the tree cannot lead it
// elsewhere. Pipes, sockets and devices are passed over: Linux keeps user
// attributes only on regular files and directories.
#pragma once

#include <string>

class TreeVisitor {
public:
    virtual ~TreeVisitor() = default;

    // A regular file or a directory, a directory before what it holds. `path`
    // is the root joined with the path below it. False stops the walk.
    virtual bool Visit(const std::string& path, bool directory) = 0;
    // An entry that cannot be looked at, or a directory that cannot be read
    // (to its end); `error` is the errno. The walk goes on.
    virtual void Unreadable(const std::string& path, int error) = 0;
};

// Walks `root` depth first, the entries of a directory in byte order of their
// names. A root that is a file is visited alone. The root itself is followed
// when it is a symbolic link: the user named it. False when the visitor
// stopped the walk.
bool WalkTree(const std::string& root, TreeVisitor& visitor);
