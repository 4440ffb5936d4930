#include "security/AccessEntries.h"

#include "security/AccessRights.h"
#include "security/ExplicitEntries.h"
#include "security/LineEnd.h"
#include "security/TrusteeText.h"

namespace {

constexpr DWORD kSpecificRights = 0xFFFF;

void AppendLine(CStringBase<char>& text, const char* label, const CStringBase<char>& value) {
    text.Append(label);
    text.Append(value);
    AppendLineEnd(text);
}

void AppendEntry(CStringBase<char>& text, const EXPLICIT_ACCESS_A& entry, bool isDirectory) {
    const DWORD mask = entry.grfAccessPermissions;
    AppendLine(text, "Trustee: ", TrusteeText(entry.Trustee));
    text.Append(RightsText(mask));
    AppendLine(text, "File specific rights: ",
               isDirectory ? DirectoryRightsText(mask & kSpecificRights)
                           : FileRightsText(mask & kSpecificRights));
    AppendLine(text, "Access mode: ", AccessModeName(entry.grfAccessMode));
    AppendLine(text, "Inheritance: ", InheritanceText(entry.grfInheritance));
    AppendLineEnd(text);
}

}  // namespace

CStringBase<char> EntriesText(PACL acl, bool isDirectory) {
    CStringBase<char> text;
    CExplicitEntries entries;
    if (entries.Read(acl) != ERROR_SUCCESS)
        throw "GetExplicitEntriesFromAcl";
    for (ULONG i = 0; i < entries.Count(); ++i)
        AppendEntry(text, entries[i], isDirectory);
    return text;
}
