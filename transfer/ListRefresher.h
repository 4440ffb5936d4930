// Re-reads a panel's stream list when a body that changes the file's streams
// ends, however it ends, so the panel shows the file as it now is. Whether the
// file could be opened for that is not asked: the panel then keeps its list.
#pragma once

#include "streams/StreamPanel.h"

class ListRefresher {
public:
    explicit ListRefresher(StreamPanel& panel);
    // A failing re-read is raised, unless another failure is already leaving
    // the body: that one is reported, and raising a second would end the process.
    ~ListRefresher() noexcept(false);
    ListRefresher(const ListRefresher&) = delete;
    ListRefresher& operator=(const ListRefresher&) = delete;

private:
    StreamPanel& panel;
    int failuresLeavingAtStart;
};
