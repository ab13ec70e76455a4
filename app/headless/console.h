// Output of the headless program: CP932 texts go to standard output and
// standard error in the locale's character set, terminal or not (in the C
// locale unchanged); messages on standard error have their control
// characters made visible.
#pragma once

#include <cstdio>

// Call once at start: reads the locale that decides the conversion.
void consoleInit();
// Writes CP932 text to out, converted to the locale's character set.
void consoleWrite(FILE* out, const char* text);
// Writes "taliver: " (unless named is false), text and a line end to
// standard error, with every control character of text (bytes below 0x20
// and DEL) shown as \xHH: names come from the command line and from files,
// and raw escape sequences in them could rewrite the terminal.
void consoleError(const char* text, bool named = true);
