// The smoke run's record: prints each check as it is made, counts the
// failures and closes with one summary line.
#pragma once

#include <sstream>
#include <string>

class CheckLog {
public:
    // Starts a group of checks; the group's name prefixes their lines.
    void Group(const std::string& name);
    bool Check(bool passed, const std::string& what);

    template <typename Value>
    bool Equal(const Value& actual, const Value& expected, const std::string& what) {
        if (actual == expected)
            return Check(true, what);
        std::ostringstream detail;
        detail << what << ": got " << actual << ", expected " << expected;
        return Check(false, detail.str());
    }

    int Failed() const { return failed; }
    // Prints "smoke: N passed, N failed".
    void PrintSummary() const;

private:
    std::string group;
    int passed = 0;
    int failed = 0;
};
