// The security report of a descriptor as text: the owner line, an empty
// line, the permissions section and, when the audit list was read, two
// empty lines and the audit section. Lines end with CR LF.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

enum class AclKind { Permissions, Audit };

// "Owner: account (domain)", or "Owner: " and the SID's text form when the
// owner has no name here; with its CR LF.
CStringBase<char> OwnerText(PSECURITY_DESCRIPTOR descriptor);

// The heading and the entries of one list; empty, heading included, when
// the descriptor has no such list or a null one.
CStringBase<char> AclSection(PSECURITY_DESCRIPTOR descriptor, bool isDirectory, AclKind kind);

// The whole report; `withAudit` when the descriptor was read with its audit
// list, so that one is reported too.
CStringBase<char> DescriptorText(PSECURITY_DESCRIPTOR descriptor, bool isDirectory,
                                 bool withAudit);
