// A FIFO that stands where the plug-in is to write one item, and a thread that
// passes on what arrives in it, as it arrives: so standard output, a pipe or a
// device receives a stream of any size without a whole copy staged on disk.
#pragma once

#include <iosfwd>
#include <string>
#include <thread>

class PipeRelay {
public:
    // Makes the FIFO `path` (the folder must be the program's own) and starts
    // passing what is written into it on to `to`.
    PipeRelay(const std::string& path, std::ostream& to);
    // Stops the thread if Finish was not called; the FIFO stays for its folder's owner.
    ~PipeRelay();
    PipeRelay(const PipeRelay&) = delete;
    PipeRelay& operator=(const PipeRelay&) = delete;

    // Empty when the relay runs; otherwise why not.
    const std::string& Failure() const { return failure; }

    // Once the writer is done: passes on what is still in the FIFO and stops.
    // False, with Failure() saying why, when `to` did not take every byte.
    // Whatever `to` refuses, the writer is never cut off.
    bool Finish();

private:
    void Pass();
    void PassAvailable();
    void Stop();

    std::ostream& to;
    std::string failure;
    int fifo = -1;      // the reading end
    int keeper = -1;    // a writing end, so the FIFO never reads as ended
    int stopRead = -1;  // the thread's signal to drain and stop
    int stopWrite = -1;
    std::thread thread;
};
