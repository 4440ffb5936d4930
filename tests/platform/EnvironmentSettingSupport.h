// An environment variable set for one scope of a test, and put back as it was
// (set or not) when the scope ends, so that the tests after it in the same
// process do not inherit it.
#pragma once

#include <cstdlib>
#include <string>

class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const std::string& value) : name_(name) {
        const char* previous = std::getenv(name);
        wasSet_ = previous != nullptr;
        if (wasSet_) previous_ = previous;
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentSetting() {
        if (wasSet_)
            setenv(name_, previous_.c_str(), 1);
        else
            unsetenv(name_);
    }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    const char* name_;
    bool wasSet_ = false;
    std::string previous_;
};
