#include "transfer/ListRefresher.h"

#include <exception>

ListRefresher::ListRefresher(StreamPanel& panel)
    : panel(panel), failuresLeavingAtStart(std::uncaught_exceptions()) {}

ListRefresher::~ListRefresher() noexcept(false) {
    if (std::uncaught_exceptions() == failuresLeavingAtStart) {
        panel.ReadStreamList();
        return;
    }
    try {
        panel.ReadStreamList();
    } catch (...) {
        // The failure already leaving is the one the user is told about.
    }
}
