// Security descriptors, access lists and SIDs for tests, laid out byte by
// byte here, independently of the layer, so a test compares the layer's
// bytes with the layout Windows defines.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

// Little-endian numbers.
std::string Word(unsigned value);
std::string Dword(DWORD value);

std::string Sid(BYTE authority, std::vector<DWORD> subs);
std::string UserSid(DWORD uid);   // S-1-22-1-uid
std::string GroupSid(DWORD gid);  // S-1-22-2-gid
std::string Everyone();           // S-1-1-0

std::string Ace(BYTE type, BYTE flags, DWORD mask, const std::string& sid);
std::string Acl(const std::vector<std::string>& aces);

// A self-relative descriptor laid out as SACL, DACL, owner, group; an empty
// part has offset 0.
std::string Descriptor(unsigned control, const std::string& sacl, const std::string& dacl,
                       const std::string& owner, const std::string& group);
