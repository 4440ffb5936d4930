// A size in bytes as a person reads it.
#pragma once

#include <cstdint>
#include <string>

// As `ls -h` shows it: bytes up to 1023, then K, M, G, T, P and E in powers
// of 1024, with one decimal under 10; rounded up, so that no size looks
// smaller than it is (1025 is 1.1K, 10241 is 11K).
std::string HumanSize(uint64_t bytes);
