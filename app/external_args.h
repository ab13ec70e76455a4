// Command lines for the external editor and the send application: the
// user's argument patterns ("%1" the file, "%2" the line) and the system's
// command for opening text files, filled in without ever treating a
// pattern as a format string.
#pragma once

#include <string>

// The file name as one argument: in double quotes when it holds a space
// and the pattern does not quote it already.
std::string QuotedFileArgument(const std::string& file);

// The arguments for a configured program. The first "%1" becomes the file
// and the first "%2" the line; every other byte, a user's "%s", "%n" or a
// second "%1" included, is copied as written. A pattern without "%1" gives
// the file alone, since a program that is not told which file is useless.
std::string ExpandArgumentPattern(const char* pattern, const std::string& file, int line);

// The whole command line from the system's text-file command: its first
// "%1" (or "%L") becomes the file, and a command without one gets the file
// appended after a space.
std::string ExpandTextCommand(const char* command, const std::string& file);
