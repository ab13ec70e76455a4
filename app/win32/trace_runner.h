// The trace in the main window: starts and stops it, runs its step from the
// main loop's idle call, and shows what it reports in the status bar, the
// register and code lists and the view panes.
#pragma once

#include <windows.h>

#include <cstdint>

struct FrameState;

// Starts a trace when none runs (nothing without drawing data), else stops it.
void ToggleTrace(FrameState* fs);
// 0 running, 1 single step, 2 paused; nothing when no trace runs.
void SetTraceMode(const FrameState* fs, int mode);
// The current mode, or -1 without a trace.
int traceMode(const FrameState* fs);
// Steps made since the trace started (0 without a trace).
int32_t traceStepCount();
// The main loop's idle call while a trace runs: a step when one is due,
// then how long the loop may sleep before the next one is (INFINITE while
// paused); a message wakes the loop sooner.
uint32_t TraceIdle();
