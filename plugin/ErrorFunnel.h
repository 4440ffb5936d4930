// Every entry point runs its body through the funnel: whatever the body
// raises is shown to the user in one line, prefixed with the entry point's
// name, and the entry point returns its failure value. No exception ever
// reaches the host, which could not handle one.
//
// The body may raise an internal error number (unsigned int, or int), a text
// (const char*), a CStringBase<char>, or anything else (shown as the name
// alone).
#pragma once

#include <utility>

// Shows the error that is being handled, as raised by the body of `entryName`.
// Call only from within a catch handler; never throws.
void ReportCaughtError(const char* entryName) noexcept;

template <typename Result, typename Body>
Result ErrorFunnel(const char* entryName, Result failureValue, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        ReportCaughtError(entryName);
        return failureValue;
    }
}

// For entry points without a result.
template <typename Body>
void ErrorFunnel(const char* entryName, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ReportCaughtError(entryName);
    }
}
