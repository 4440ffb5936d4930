#include "security/DescriptorText.h"

#include "security/AccessEntries.h"
#include "security/AccountLookup.h"
#include "security/LineEnd.h"
#include "security/SidText.h"

namespace {

struct SectionKind {
    const char* name;
    const char* underline;
    const char* readFailure;
};

const SectionKind kPermissions = {"PERMISSIONS", "-----------", "GetSecurityDescriptorDacl"};
const SectionKind kAudit = {"SACL", "----", "GetSecurityDescriptorSacl"};

const SectionKind& SectionOf(AclKind kind) {
    return kind == AclKind::Permissions ? kPermissions : kAudit;
}

// The list of `kind`, or null when the descriptor has none or a null one.
PACL ReadAcl(PSECURITY_DESCRIPTOR descriptor, AclKind kind) {
    BOOL present = FALSE;
    PACL acl = nullptr;
    BOOL defaulted = FALSE;
    const BOOL read = kind == AclKind::Permissions
                          ? GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted)
                          : GetSecurityDescriptorSacl(descriptor, &present, &acl, &defaulted);
    if (!read)
        throw SectionOf(kind).readFailure;
    return present ? acl : nullptr;
}

}  // namespace

CStringBase<char> OwnerText(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted))
        throw "GetSecurityDescriptorOwner";
    if (owner == nullptr)
        throw "Owner SID is NULL";
    CStringBase<char> account;
    CStringBase<char> domain;
    CStringBase<char> line("Owner: ");
    if (LookupNamedAccount(owner, account, domain)) {
        line.Append(account);
        line.Append(" (");
        line.Append(domain);
        line.Append(")");
    } else {
        line.Append(SidText(owner));
    }
    AppendLineEnd(line);
    return line;
}

CStringBase<char> AclSection(PSECURITY_DESCRIPTOR descriptor, bool isDirectory, AclKind kind) {
    const SectionKind& section = SectionOf(kind);
    CStringBase<char> text(section.name);
    AppendLineEnd(text);
    text.Append(section.underline);
    AppendLineEnd(text);
    const PACL acl = ReadAcl(descriptor, kind);
    if (acl == nullptr)
        return CStringBase<char>();
    text.Append(EntriesText(acl, isDirectory));
    return text;
}

CStringBase<char> DescriptorText(PSECURITY_DESCRIPTOR descriptor, bool isDirectory,
                                 bool withAudit) {
    CStringBase<char> report = OwnerText(descriptor);
    AppendLineEnd(report);
    report.Append(AclSection(descriptor, isDirectory, AclKind::Permissions));
    if (withAudit) {
        AppendLineEnd(report);
        AppendLineEnd(report);
        report.Append(AclSection(descriptor, isDirectory, AclKind::Audit));
    }
    return report;
}
