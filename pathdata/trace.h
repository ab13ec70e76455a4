// The trace: replays the loaded programs block by block from a fresh modal
// state so that the user can watch the tool move. The clock is passed in and
// everything shown goes through TraceUi, so the same rules run in a window
// and in a test.
#pragma once

#include "pathdata/drawing.h"

#include <cstdint>

enum TraceMode : int32_t {
    kTraceRunning = 0,     // steps at the chosen speed
    kTraceSingleStep = 1,  // one step at the next idle call, then paused
    kTracePaused = 2,
};

// traceWait's answer while nothing is due until a message arrives.
constexpr uint32_t kTraceWaitForever = 0xFFFFFFFFu;
constexpr int kTraceRegisterRows = 11;  // X Y Z O G M F S T D H

// What a trace shows. Status parts are 0 to 6; the register list has two
// columns, labels in 0 and values in 1.
class TraceUi {
public:
    virtual ~TraceUi() = default;
    virtual void statusPart(int part, const char* text) = 0;
    virtual void clearRegisters() = 0;
    virtual void registerCell(int row, int column, const char* text) = 0;
    virtual void selectCodeLine(int32_t row) = 0;
    virtual bool breakMarkAt(int32_t row) = 0;
    // Draws the record into every pane: the marker of previousTool comes
    // off, the move goes on, the marker of tool goes to the move's end.
    virtual void drawStep(const MotionRecord& record, int previousTool, int tool) = 0;
    // The programs are over (or failed): the shell stops the trace.
    virtual void traceEnded() = 0;
};

// The one trace of the process; all zero when none runs.
struct TraceState {
    int32_t mode;         // TraceMode
    int32_t stepCount;    // blocks executed since the start, hidden ones too
    uint32_t lastTick;    // milliseconds at the last step; 0 makes the first one due
    int32_t listIndex;    // list index of the block that runs next, or -1
    int32_t tool, d, h;   // T, D and H last shown, 0 to 99
    NcBlockText block;    // the block the last step executed
    MotionRecord motion;  // its record, drawn by the next step
};

// The speed settings: speed 0 high, 1 normal, 2 low (another value is put
// back to 1), waits in milliseconds for each.
struct TraceSpeed {
    int32_t* speed;
    const int32_t* waits;  // [3]
};

// Starts a trace from the main program with a fresh configuration and
// modal state, empties the status parts and labels the register rows.
// false (nothing changed) without drawing data.
bool traceStart(TraceState* trace, Drawing* drawing, TraceUi* ui);
// Ends the trace; the drawing made by the load stays as it was.
void traceStop(TraceState* trace, Drawing* drawing);
// One idle call at time now (milliseconds): shows the state the previous
// step reached, draws its move, then executes the next shown block, or
// pauses before a block that carries a break mark. Blocks the display
// filter hides run at once without display. Returns 0 when no trace runs.
int traceStep(TraceState* trace, Drawing* drawing, TraceSpeed speed, uint32_t now, TraceUi* ui);
// How long the caller may sleep before the next step is due: 0 when it is
// due now, kTraceWaitForever while paused or when no trace runs.
uint32_t traceWait(const TraceState* trace, const Drawing* drawing, TraceSpeed speed, uint32_t now);

// Texts of the display: "%02d:%02d:%02d" of whole seconds, and a
// coordinate in "%.3lf" with values closer to 0 than 0.001 shown as 0.
void traceTimeText(double seconds, char* out, size_t size);
void traceCoordinateText(float value, char* out, size_t size);
