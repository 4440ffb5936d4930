// A folder of the program's own for the files one command makes on the way:
// made where the result is to go, so that it can be renamed into place, and
// removed with whatever is still in it on every path: also when Ctrl-C or
// another signal ends the program, with the one entry it was told to expect
// (the plug-in's own temporaries go with the layer's).
#pragma once

#include <string>
#include <vector>

class ScratchFolder {
public:
    // Makes a new ".morvex-XXXXXX" in the Linux folder `parent`.
    explicit ScratchFolder(const std::string& parent);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when the folder was made; otherwise why not.
    const std::string& Failure() const { return failure; }
    const std::string& Path() const { return path; }
    // `name` is the entry the plug-in is about to make in the folder.
    void Expect(const std::string& name);

    // The full paths of the entries in the folder now.
    std::vector<std::string> Entries() const;

    // The folder for scratch files that have no better place: $TMPDIR, else /tmp.
    static std::string TemporaryRoot();

private:
    std::string path;
    std::string failure;
    int slot = -1;  // in the table of folders a signal removes
};
