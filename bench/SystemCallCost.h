// What one system call costs this 32-bit process, made the two ways a 32-bit
// program makes them, so that a start-up figure can be read against the machine
// it was taken on.
#pragma once

// Prints the median cost of one system call through `int 0x80` and through the
// vDSO's entry. Prints nothing on a build that is not 32-bit x86.
void PrintSystemCallCost();
