#include "host/settings/SettingsLock.h"

#include "host/messages/SystemMessage.h"

namespace {

// Shared by every run of this user, whichever registry file it uses.
constexpr char kMutexName[] = "Local\\morvex-settings";

}  // namespace

SettingsLock::SettingsLock() : mutex(CreateMutexA(nullptr, TRUE, kMutexName)) {
    if (mutex == nullptr)
        failure = SystemMessageText(GetLastError());
}

SettingsLock::~SettingsLock() {
    if (mutex != nullptr) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}
