// Names as a Linux user spells them: a name Linux holds with trailing dots or
// blanks reaches that file through every call the plug-in makes on an opened
// file, in each form the name may take; a name Linux does not hold so spelt
// is read as Windows reads it.
#include "MappedDriveSupport.h"
#include "NamedStreamSupport.h"

#include "platform/posix/files/DriveMap.h"

namespace {

class LiteralNames : public MappedDriveTest {
protected:
    LiteralNames() {
        for (const char* name : {"notes", "notes.", "memo", "memo "}) PutBytes(temp, name, name);
        temp.AddDirectory("sub");
        mvx::SetCurrentDirectory(temp.PathOf("sub"));  // on Z:, where Linux paths lead
    }

    static std::string Found(const char* name) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(name, &data);
        if (find == INVALID_HANDLE_VALUE) return Outcome(FALSE);
        FindClose(find);
        return data.cFileName;
    }

    // The data of the first backup stream, whose header takes 20 bytes.
    static std::string BackedUp(const char* name) {
        Handle file(OpenName(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS));
        char buffer[64] = {};
        DWORD read = 0;
        LPVOID context = nullptr;
        const BOOL done = BackupRead(file.Get(), reinterpret_cast<LPBYTE>(buffer), sizeof(buffer),
                                     &read, FALSE, FALSE, &context);
        BackupRead(file.Get(), nullptr, 0, nullptr, TRUE, FALSE, &context);
        return done && read > 20 ? std::string(buffer + 20, read - 20) : Outcome(FALSE);
    }

    // What each call reaches, joined by "|".
    std::string Reached(const std::string& name) {
        const char* n = name.c_str();
        const std::string full = FullPathOf(n);
        std::string copied = Outcome(CopyFileA(n, "D:\\copy", FALSE));
        copied += ":" + BytesOf(temp, "copy");
        return full.substr(full.rfind('\\') + 1) + "|" + Found(n) + "|" + BackedUp(n) + "|" +
               copied;
    }
};

TEST_F(LiteralNames, ANameLinuxHoldsSoSpeltReachesThatFile) {
    const struct {
        std::string name;
        const char* reached;
    } cases[] = {
        {temp.PathOf("notes."), "notes.|notes.|notes.|ok:notes."},
        {"D:\\notes.", "notes.|notes.|notes.|ok:notes."},
        {"..\\notes.", "notes.|notes.|notes.|ok:notes."},
        {"D:\\memo ", "memo |memo |memo |ok:memo "},
        // Not held so spelt: the Windows reading.
        {"D:\\notes..", "notes|notes|notes|ok:notes"},
        {temp.PathOf("memo. "), "memo|memo|memo|ok:memo"},
    };
    for (const auto& c : cases) EXPECT_EQ(Reached(c.name), c.reached) << c.name;
    EXPECT_EQ(Outcome(DeleteFileA("..\\notes.")), "ok");
    EXPECT_TRUE(!temp.Exists("notes.") && temp.Exists("notes"));
}

}  // namespace
