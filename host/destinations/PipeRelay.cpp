#include "host/destinations/PipeRelay.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ostream>

namespace {

constexpr size_t kChunk = 1 << 16;

void CloseOnce(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

}  // namespace

PipeRelay::PipeRelay(const std::string& path, std::ostream& out) : to(out) {
    int stop[2];
    if (mkfifo(path.c_str(), 0600) != 0 || pipe2(stop, O_CLOEXEC) != 0) {
        failure = std::strerror(errno);
        return;
    }
    stopRead = stop[0];
    stopWrite = stop[1];
    // Both ends open at once without waiting, since the plug-in's writer does
    // not wait for a reader either. While the relay holds a writing end, a
    // writer that closes never reads as the end: the end is Finish.
    fifo = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    keeper = fifo >= 0 ? open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (keeper < 0) {
        failure = std::strerror(errno);
        return;
    }
    // Ctrl-C and the like go to the thread that runs the plug-in, which holds
    // them off where a temporary is being made; the relay takes only the
    // SIGPIPE its own writes raise.
    sigset_t others, previous;
    sigemptyset(&others);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&others, signal);
    pthread_sigmask(SIG_BLOCK, &others, &previous);
    thread = std::thread(&PipeRelay::Pass, this);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

PipeRelay::~PipeRelay() {
    Stop();
    CloseOnce(keeper);
    CloseOnce(fifo);
    CloseOnce(stopRead);
    CloseOnce(stopWrite);
}

void PipeRelay::Stop() {
    if (!thread.joinable())
        return;
    const char stop = 0;
    while (write(stopWrite, &stop, 1) < 0 && errno == EINTR) {
    }
    thread.join();
}

bool PipeRelay::Finish() {
    Stop();
    return failure.empty();
}

// Reads what the FIFO holds now. Once `to` has refused a byte the rest is
// read and dropped: the writer then ends as it would have, rather than by a
// SIGPIPE no one could report.
void PipeRelay::PassAvailable() {
    char buffer[kChunk];
    for (;;) {
        const ssize_t got = read(fifo, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        errno = 0;
        if (failure.empty() && (!to.write(buffer, got) || !to.flush()))
            failure = errno != 0 ? std::strerror(errno) : "write error";
    }
}

void PipeRelay::Pass() {
    pollfd watched[2] = {{fifo, POLLIN, 0}, {stopRead, POLLIN, 0}};
    bool passing = true;
    while (passing) {
        // The writer must never be left waiting on a FIFO nobody reads, so
        // the relay reads on whatever poll says.
        if (poll(watched, 2, -1) < 0) {
            if (errno != EINTR && failure.empty())
                failure = std::strerror(errno);
            continue;
        }
        PassAvailable();
        passing = watched[1].revents == 0;
    }
}
