// The program's start-up, batch flow, main loop and end, for the Windows
// build.
#pragma once

#include "app/session.h"
#include "app/win32/idle_call.h"

#include <windows.h>

#include <cstdint>

// One run of the program.
struct Program {
    HINSTANCE instance;
    Session session;  // settingsPath may be set before start-up
    CommandLine command;
    HWND frame;
    bool saveAtEnd;    // false when start-up ended before the main window
    int exitCode = 0;  // 1 when a batch run could not produce its output
};

enum StartResult {
    kStartEnded,    // nothing more to do and nothing to save
    kStartRunning,  // the main window is up: run the loop
    kStartBatch,    // the batch output ran and the window is gone: loop, then save
};

// Start-up up to the main loop, from the command-line text (without the
// program name) and the caller's show mode.
StartResult StartProgram(Program* program, const wchar_t* commandLine, int show);
// Runs the message loop until the quit message; returns its exit code.
int RunMessageLoop(HWND frame);
// Writes the settings, the tool table and the machine definition back.
void FinishProgram(const Program& program);
// All three; the exit code is the program's exitCode.
int RunProgram(HINSTANCE instance, const wchar_t* commandLine, int show);
