// Serves a plug-in module a StartupInfo whose services forward to a HostUi.
//
// The services receive no pointer of ours, only the module number the host
// assigned, so the live bindings are kept in one table keyed by that number.
// Services that carry no module number (panel control, screen save and
// restore) go to the binding made last: the host drives one module at a time.
#pragma once

#include <string>

#include "host/module/HostUi.h"
#include "hostapi/HostRecords.h"

class HostBinding {
public:
    // Registers `ui` under `moduleNumber`, which no other live binding may use.
    HostBinding(HostUi& ui, int moduleNumber, const std::string& rootKeyPath);
    ~HostBinding();
    HostBinding(const HostBinding&) = delete;
    HostBinding& operator=(const HostBinding&) = delete;

    // The record to hand to the module's SetStartupInfo.
    const StartupInfo& Startup() const { return startup; }

private:
    std::string rootKeyPath;
    StartupInfo startup;
};
