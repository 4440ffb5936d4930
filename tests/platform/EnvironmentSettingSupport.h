// An environment variable set (or, given no value, unset) for one scope of a
// test, and put back as it was when the scope ends, so that the tests after it
// in the same process do not inherit it, however the test ends.
#pragma once

#include <cstdlib>
#include <string>

class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const char* value) : name_(name) {
        const char* previous = std::getenv(name);
        wasSet_ = previous != nullptr;
        if (wasSet_) previous_ = previous;
        Put(value);
    }
    EnvironmentSetting(const char* name, const std::string& value)
        : EnvironmentSetting(name, value.c_str()) {}
    ~EnvironmentSetting() { Put(wasSet_ ? previous_.c_str() : nullptr); }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    void Put(const char* value) const {
        if (value != nullptr)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

    const char* name_;
    bool wasSet_ = false;
    std::string previous_;
};
