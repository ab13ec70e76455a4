// Output of the headless program: CP932 texts go to a terminal in the
// terminal's character set, to files and pipes unchanged; messages on
// standard error have their control characters made visible.
#pragma once

#include <cstdio>

// Call once at start: reads the locale that decides the conversion.
void consoleInit();
// Writes CP932 text to out, converted to UTF-8 when out is a terminal and
// the locale's character set is UTF-8.
void consoleWrite(FILE* out, const char* text);
// Writes "taliver: " (unless named is false), text and a line end to
// standard error, with every control character of text (bytes below 0x20
// and DEL) shown as \xHH: names come from the command line and from files,
// and raw escape sequences in them could rewrite the terminal.
void consoleError(const char* text, bool named = true);
