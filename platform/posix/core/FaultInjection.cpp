#include "platform/posix/core/FaultInjection.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace mvx {
namespace {

struct PendingFault {
    unsigned callsLeft;
    DWORD error;
};

struct FaultTable {
    std::mutex lock;
    std::map<std::string, unsigned> calls;
    std::map<std::string, std::vector<PendingFault>> pending;
};

FaultTable& Table() {
    static FaultTable table;
    return table;
}

}  // namespace

void InjectFault(const char* function, unsigned nth, DWORD error) {
    FaultTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.pending[function].push_back({nth == 0 ? 1 : nth, error});
}

void ClearFaults() {
    FaultTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.pending.clear();
    table.calls.clear();
}

unsigned CallCount(const char* function) {
    FaultTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.calls.find(function);
    return found == table.calls.end() ? 0 : found->second;
}

std::vector<std::pair<std::string, unsigned>> CalledFunctions() {
    FaultTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return {table.calls.begin(), table.calls.end()};
}

bool FaultHit(const char* function) {
    FaultTable& table = Table();
    bool hit = false;
    DWORD error = 0;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        ++table.calls[function];
        auto found = table.pending.find(function);
        if (found == table.pending.end()) return false;
        std::vector<PendingFault>& faults = found->second;
        for (auto it = faults.begin(); it != faults.end();) {
            if (--it->callsLeft == 0) {
                if (!hit) {
                    hit = true;
                    error = it->error;
                }
                it = faults.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (hit) SetLastError(error);
    return hit;
}

}  // namespace mvx
