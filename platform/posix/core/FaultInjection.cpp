#include "platform/posix/core/FaultInjection.h"

#include <atomic>
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

struct PendingAction {
    unsigned callsLeft;
    std::function<void()> action;
};

struct FaultTable {
    std::mutex lock;
    std::map<std::string, unsigned> calls;
    std::map<std::string, std::vector<PendingFault>> pending;
    std::map<std::string, std::vector<PendingAction>> actions;
};

// The actions of `function` due at this call, taken off the table.
std::vector<std::function<void()>> DueActions(FaultTable& table, const char* function) {
    std::vector<std::function<void()>> due;
    auto found = table.actions.find(function);
    if (found == table.actions.end()) return due;
    std::vector<PendingAction>& actions = found->second;
    for (auto it = actions.begin(); it != actions.end();) {
        if (--it->callsLeft == 0) {
            due.push_back(std::move(it->action));
            it = actions.erase(it);
        } else {
            ++it;
        }
    }
    return due;
}

FaultTable& Table() {
    static FaultTable table;
    return table;
}

// Off until a test first arms a fault, an action or the counting: the
// program itself then pays one load and a branch per layer call.
std::atomic<bool> g_armed{false};

FaultTable& ArmedTable() {
    g_armed.store(true, std::memory_order_relaxed);
    return Table();
}

}  // namespace

void InjectFault(const char* function, unsigned nth, DWORD error) {
    FaultTable& table = ArmedTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.pending[function].push_back({nth == 0 ? 1 : nth, error});
}

void InjectAction(const char* function, unsigned nth, std::function<void()> action) {
    FaultTable& table = ArmedTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.actions[function].push_back({nth == 0 ? 1 : nth, std::move(action)});
}

void ClearFaults() {
    FaultTable& table = ArmedTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.pending.clear();
    table.actions.clear();
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

namespace {

// The fault of `function` due at this call, taken off the table, its error
// in `error`; false when none is due.
bool DueFault(FaultTable& table, const char* function, DWORD& error) {
    auto found = table.pending.find(function);
    if (found == table.pending.end()) return false;
    bool hit = false;
    std::vector<PendingFault>& faults = found->second;
    for (auto it = faults.begin(); it != faults.end();) {
        if (--it->callsLeft == 0) {
            if (!hit) error = it->error;
            hit = true;
            it = faults.erase(it);
        } else {
            ++it;
        }
    }
    return hit;
}

}  // namespace

bool FaultHit(const char* function) {
    if (!g_armed.load(std::memory_order_relaxed)) return false;
    FaultTable& table = Table();
    bool hit = false;
    DWORD error = 0;
    std::vector<std::function<void()>> due;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        ++table.calls[function];
        due = DueActions(table, function);
        hit = DueFault(table, function, error);
    }
    // Outside the lock: an action may call the layer itself.
    for (auto& action : due) action();
    if (hit) SetLastError(error);
    return hit;
}

}  // namespace mvx
