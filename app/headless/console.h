// Output of the headless program: CP932 texts go to a terminal in the
// terminal's character set, to files and pipes unchanged.
#pragma once

#include <cstdio>

// Call once at start: reads the locale that decides the conversion.
void consoleInit();
// Writes CP932 text to out, converted to UTF-8 when out is a terminal and
// the locale's character set is UTF-8.
void consoleWrite(FILE* out, const char* text);
