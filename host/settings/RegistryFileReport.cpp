#include "host/settings/RegistryFileReport.h"

#include "host/messages/ErrorLine.h"
#include "host/messages/SystemMessage.h"
#include "platform/RegistryFileCheck.h"

bool ReportRegistryFile(std::ostream& err) {
    const mvx::RegistryFileCheck check = mvx::CheckRegistryFile();
    for (const mvx::RegistryFileNotice& notice : check.notices)
        WriteErrorLine(err, check.path + ':' + std::to_string(notice.line) + ": " + notice.what);
    if (check.code == ERROR_SUCCESS)
        return true;
    WriteErrorLine(err, "cannot read the settings in " + check.path + ": " +
                            SystemMessageText(static_cast<DWORD>(check.code)));
    return false;
}
