#include "tests/security/ReportTextSupport.h"

std::string EntryText(const EntryWords& words) {
    return "Trustee: " + words.trustee +
           "\r\nAccess system security: " + (words.systemSecurity ? "True" : "False") +
           "\r\nGeneric: " + words.generic + "\r\nStandard rights:" + words.standard +
           "\r\nFile specific rights: " + words.specific + "\r\nAccess mode: " + words.mode +
           "\r\nInheritance: " + words.inheritance + "\r\n\r\n";
}
