#include <string>

#include "tests/windows/SmokeChecks.h"

namespace {

int WINAPI StdcallNone() {
    return 7;
}

int WINAPI StdcallOne(int a) {
    return a;
}

int WINAPI StdcallThree(int a, int b, int c) {
    return a * 100 + b * 10 + c;
}

int __cdecl CdeclOne(int a) {
    return a;
}

int __cdecl CdeclThree(int a, int b, int c) {
    return a * 100 + b * 10 + c;
}

}  // namespace

// The probe must tell the two conventions apart, or its verdict on the entry
// points would mean nothing.
void CheckStackProbe(CheckLog& log) {
    log.Group("stack probe");
    struct Case {
        const char* what;
        const void* function;
        int count;
        int expectedDrift;
        DWORD expectedResult;
    };
    const Case cases[] = {
        {"__stdcall without arguments", reinterpret_cast<const void*>(StdcallNone), 0, 0, 7},
        {"__stdcall, 1 argument", reinterpret_cast<const void*>(StdcallOne), 1, 0, 1},
        {"__stdcall, 3 arguments", reinterpret_cast<const void*>(StdcallThree), 3, 0, 123},
        {"__cdecl, 1 argument", reinterpret_cast<const void*>(CdeclOne), 1, 4, 1},
        {"__cdecl, 3 arguments", reinterpret_cast<const void*>(CdeclThree), 3, 12, 123},
    };
    const DWORD arguments[] = {1, 2, 3};
    for (const Case& c : cases) {
        DWORD result = 0;
        int drift = StackDriftOfCall(c.function, arguments, c.count, result);
        log.Equal(drift, c.expectedDrift, std::string(c.what) + ": bytes left on the stack");
        log.Equal(result, c.expectedResult, std::string(c.what) + ": arguments in order");
    }
}

void CheckEntryPointStacks(SmokeContext& smoke) {
    smoke.log.Group("stack");
    for (const ProbedPlugin::StackRecord& record : smoke.plugin.StackRecords()) {
        const std::string name = record.entryPoint;
        if (record.calls == 0) {
            smoke.log.Check(false, name + " was never called");
            continue;
        }
        smoke.log.Check(record.driftedCalls == 0,
                        name + " removes its own " + std::to_string(record.argumentCount * 4) +
                            " bytes of arguments (" + std::to_string(record.calls) +
                            " calls, " + std::to_string(record.driftedCalls) + " left " +
                            std::to_string(record.lastDrift) + " bytes)");
    }
}
