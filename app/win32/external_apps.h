// The external editor, the send application and the process launcher they
// share with the new-window command.
#pragma once

#include <windows.h>

#include <string>

struct FrameState;

// Opens the file of the code list's selected row at that row's line (line
// 0 for a file's header row). 1 when a start was attempted, 0 when the
// row cannot be read.
int OpenInEditor(FrameState* fs);
// Hands the current program's file to the send application; 0 without a
// drawing.
int SendCurrentFile(FrameState* fs);
// Starts program (quoted) with arguments, either may be empty; show 0 means
// normal. Waits a few seconds at most for the new process to take input.
// Non-zero when the process started.
int LaunchProcess(const char* program, const char* arguments, int show);
// The system's command for opening text files, or the plain editor.
std::string TextFileCommand();
