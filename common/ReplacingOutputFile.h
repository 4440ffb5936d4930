// An output file written whole or not at all: the bytes go to a temporary
// beside the output, which takes the output's place only when Commit is
// called; a write that fails or never ends leaves the output as it was. An
// output that existed keeps its attributes, security and streams
// (ReplaceFileA); a link at its name is replaced, never followed. A pipe or a
// device at the name has no place a rename could fill: the bytes are written
// into it as they come.
#pragma once

#include "common/OutputFile.h"
#include "common/StringBase.h"

class CReplacingOutputFile : public COutputFile {
public:
    CReplacingOutputFile() = default;
    // An uncommitted temporary is closed and deleted.
    ~CReplacingOutputFile() override;

    // Makes the temporary for `outputName`, a new file taking the attributes
    // of `templateFile` when one is given.
    bool Create(const char* outputName);

    // Puts the whole temporary in the output's place.
    bool Commit();

private:
    bool OpenPipeOrDevice(const char* name);
    void Discard();

    bool writesInPlace = false;

    CStringBase<char> outputName;
    CStringBase<char> temporaryName;
};
