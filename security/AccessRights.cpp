#include "security/AccessRights.h"

#include "security/LineEnd.h"

namespace {

const NameTableRow kFileRights[] = {
    {0x1, "Read"},        {0x2, "Write"},        {0x4, "Append"},
    {0x8, "ReadProp"},    {0x10, "WriteProp"},   {0x20, "Execute"},
    {0x80, "ReadAttrib"}, {0x100, "WriteAttrib"}, {0x200, "CreatePipe"},
};

const NameTableRow kDirectoryRights[] = {
    {0x1, "List"},         {0x2, "CreateObject"},  {0x4, "CreateChild"},
    {0x8, "ReadProp"},     {0x10, "WriteProp"},    {0x20, "Traverse"},
    {0x40, "DeleteChild"}, {0x80, "ReadAttrib"},   {0x100, "WriteAttrib"},
    {0x200, "CreatePipe"},
};

const NameTableRow kInheritanceFlags[] = {
    {0x1, "OBJECT_INHERIT_ACE"},       {0x2, "CONTAINER_INHERIT_ACE"},
    {0x4, "NO_PROPAGATE_INHERIT_ACE"}, {0x8, "INHERIT_ONLY_ACE"},
    {0x10, "INHERITED_ACE"},
};

// Looked up by equal value, not by shared bits.
const NameTableRow kAccessModes[] = {
    {0, "NOT_USED_ACCESS"}, {1, "GRANT_ACCESS"},      {2, "SET_ACCESS"},
    {3, "DENY_ACCESS"},     {4, "REVOKE_ACCESS"},     {5, "SET_AUDIT_SUCCESS"},
    {6, "SET_AUDIT_FAILURE"},
};

// The texts carry their own spaces, which fix the bytes of the report:
// " Delete " is followed by the next name's leading space.
const NameTableRow kGenericRights[] = {
    {GENERIC_ALL, "All "},
    {GENERIC_EXECUTE, "X"},
    {GENERIC_WRITE, "W"},
    {GENERIC_READ, "R"},
};

const NameTableRow kStandardRights[] = {
    {DELETE, " Delete "},
    {READ_CONTROL, " ReadControl"},
    {WRITE_DAC, " ChangePermissions"},
    {WRITE_OWNER, " WriteOwner"},
    {SYNCHRONIZE, " Synchronize"},
};

template <size_t N>
constexpr int RowCount(const NameTableRow (&)[N]) {
    return static_cast<int>(N);
}

// The texts of the rows whose bit `mask` holds, joined as they are.
void AppendSetTexts(CStringBase<char>& line, const NameTableRow* table, int rowCount,
                    DWORD mask) {
    for (int i = 0; i < rowCount; ++i) {
        if (mask & table[i].mask)
            line.Append(table[i].name);
    }
}

}  // namespace

CStringBase<char> FlagNames(const NameTableRow* table, int rowCount, DWORD flags) {
    CStringBase<char> names;
    for (int i = 0; i < rowCount; ++i) {
        if (flags & table[i].mask) {
            names.Append(' ');
            names.Append(table[i].name);
        }
    }
    return names;
}

CStringBase<char> FileRightsText(DWORD bits) {
    return FlagNames(kFileRights, RowCount(kFileRights), bits);
}

CStringBase<char> DirectoryRightsText(DWORD bits) {
    return FlagNames(kDirectoryRights, RowCount(kDirectoryRights), bits);
}

CStringBase<char> InheritanceText(DWORD flags) {
    if (flags == 0)
        return CStringBase<char>("NO_INHERITANCE");
    return FlagNames(kInheritanceFlags, RowCount(kInheritanceFlags), flags);
}

const char* AccessModeName(DWORD mode) {
    for (const NameTableRow& row : kAccessModes) {
        if (row.mask == mode)
            return row.name;
    }
    return "Unknown";
}

const char* BoolText(bool value) {
    return value ? "True" : "False";
}

CStringBase<char> RightsText(DWORD mask) {
    CStringBase<char> text("Access system security: ");
    text.Append(BoolText((mask & ACCESS_SYSTEM_SECURITY) != 0));
    AppendLineEnd(text);
    text.Append("Generic: ");
    AppendSetTexts(text, kGenericRights, RowCount(kGenericRights), mask);
    AppendLineEnd(text);
    text.Append("Standard rights:");
    AppendSetTexts(text, kStandardRights, RowCount(kStandardRights), mask);
    AppendLineEnd(text);
    return text;
}
