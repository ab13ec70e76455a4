// Texts at the POSIX boundary: file names, arguments and standard streams
// are in the locale's character set there, CP932 inside the program.
#pragma once

#include <string>

// Whether the locale's character set differs from CP932 and is not plain
// ASCII, so that texts are converted at all. Read from the current locale
// (LC_CTYPE) at each call.
bool platNativeConverts();
// Text in the locale's character set to CP932. False when a character has
// no CP932 form or the bytes are not valid in the locale's set; out then
// holds nothing. Unchanged where nothing is converted.
bool platFromNative(const char* native, std::string* out);
// CP932 text to the locale's character set. False for bytes that are not
// CP932. Unchanged where nothing is converted.
bool platToNative(const char* cp932, std::string* out);
