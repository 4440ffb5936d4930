// Fills in the message texts of the host's message file that take one value:
// the name of a stream ("%s") or a number ("%d"). The texts are the host's,
// not ours, so they are not handed to printf: only the first such conversion
// receives the value, "%%" is a percent sign, and every other '%' stands as
// written. No text can make the formatting read or write beyond its buffer.
// The result is cut to fit `size` bytes with its terminator, between characters.
#pragma once

void FormatWithName(char* buffer, int size, const char* format, const char* name);
void FormatWithNumber(char* buffer, int size, const char* format, int number);
