#include "pathdata/trace.h"

#include "engine/translate.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kRegisterLabels[kTraceRegisterRows] = {"X", "Y", "Z", "O", "G", "M",
                                                             "F", "S", "T", "D", "H"};
constexpr int kStatusParts[] = {0, 1, 2, 3, 5, 6};

void clearStatusParts(TraceUi* ui) {
    for (int part : kStatusParts) ui->statusPart(part, "");
}

int32_t speedIndex(int32_t speed) {
    return speed >= 0 && speed <= 2 ? speed : 1;
}

// Milliseconds still to wait before the next step at the current speed;
// the first step of a trace is due at once.
uint32_t remainingWait(const TraceState* t, TraceSpeed speed, uint32_t now) {
    const int32_t wait = speed.waits[speedIndex(*speed.speed)];
    if (t->stepCount == 0 || wait <= 0) return 0;
    const uint32_t since = now - t->lastTick;  // unsigned: right across the tick count's wrap
    return since >= static_cast<uint32_t>(wait) ? 0 : static_cast<uint32_t>(wait) - since;
}

// The raw value of a register word, truncated; 0 when absent.
int32_t registerWord(const NcModalState& state, char letter) {
    float value = 0;
    if (ncAddrFind(&state.registers, letter, 0, &value) < 0) return 0;
    // A value beyond int32 would make the conversion undefined.
    if (!(std::fabs(value) < 2.1e9f)) return 0;
    return static_cast<int32_t>(value);
}

// T, D and H address tables of 100 entries: other values show as 0.
int32_t registerIndex(const NcModalState& state, char letter) {
    const int32_t v = registerWord(state, letter);
    return v >= 0 && v <= 99 ? v : 0;
}

// "00,17,90": the codes 0 to 99 set in a modal set.
std::string codeList(const uint32_t set[4]) {
    std::string out;
    for (int code = 0; code < 100; ++code) {
        if (!ncModalBit(set, code)) continue;
        char text[8];
        snprintf(text, sizeof text, "%s%02d", out.empty() ? "" : ",", code);
        out += text;
    }
    return out;
}

void showTotals(const NcModalState& state, TraceUi* ui) {
    double time = 0, length = 0;
    for (const NcToolStats& tool : state.tools) {
        time += tool.machiningTime;
        length += tool.cutLength;
    }
    char text[64];
    traceTimeText(time, text, sizeof text);
    ui->statusPart(5, text);
    snprintf(text, sizeof text, "%.0lf", length);
    ui->statusPart(6, text);
}

void showPosition(const NcModalState& state, TraceUi* ui) {
    for (int axis = 0; axis < 3; ++axis) {
        char text[64];
        traceCoordinateText(state.position[axis], text, sizeof text);
        ui->statusPart(1 + axis, text);
        ui->registerCell(axis, 1, text);
    }
}

void showRegisters(TraceState* t, const Drawing& d, TraceUi* ui) {
    const NcModalState& s = d.state;
    char text[160];
    const int level = s.callLevel >= 0 && s.callLevel < kNcCallLevels ? s.callLevel : 0;
    snprintf(text, sizeof text, "%04d", s.callStack[level].programNumber);
    ui->registerCell(3, 1, text);
    ui->registerCell(4, 1, codeList(s.gModal).c_str());
    ui->registerCell(5, 1, codeList(s.mModal).c_str());
    snprintf(text, sizeof text, "%d", registerWord(s, 'F'));
    ui->registerCell(6, 1, text);
    snprintf(text, sizeof text, "%d", registerWord(s, 'S'));
    ui->registerCell(7, 1, text);
    t->tool = registerIndex(s, 'T');
    t->d = registerIndex(s, 'D');
    t->h = registerIndex(s, 'H');
    snprintf(text, sizeof text, "%.*s  %d", kToolNameSize, d.tools->entries[t->tool].toolName,
             t->tool);
    ui->registerCell(8, 1, text);
    snprintf(text, sizeof text, "%d", t->d);
    ui->registerCell(9, 1, text);
    snprintf(text, sizeof text, "%d", t->h);
    ui->registerCell(10, 1, text);
}

// Executes blocks until one the filter shows has run; false at the end of
// the programs.
bool executeShownBlock(TraceState* t, Drawing* d, uint32_t now) {
    for (;;) {
        if (ncBlockTranslateEx(d->blocks, &d->config, &d->state, &t->block, &t->motion) == 0)
            return false;
        t->stepCount += 1;
        t->lastTick = now;
        const NcCallFrame& frame = d->state.callStack[d->state.callLevel];
        t->listIndex = ncBlockProgramToList(d->blocks, frame.programNumber, frame.nextBlock);
        if (IsRecordShown(&d->filter, t->motion.programNumber, t->motion.toolNumber)) return true;
    }
}

void showExecutedBlock(TraceState* t, TraceUi* ui) {
    char text[kNcLineSize + 16];
    snprintf(text, sizeof text, "%05d : %.*s", t->block.lineIndex + 1, kNcLineSize, t->block.text);
    ui->statusPart(0, text);
    if (t->listIndex <= 0) return;
    ui->selectCodeLine(t->listIndex);
    // The marked block has not run yet: the trace waits in front of it.
    if (ui->breakMarkAt(t->listIndex)) t->mode = kTracePaused;
}

}  // namespace

bool traceStart(TraceState* t, Drawing* d, TraceUi* ui) {
    if (!d->loaded) return false;
    memset(t, 0, sizeof *t);
    d->tracing = true;
    clearStatusParts(ui);
    BuildMachineConfig(*d->machine, *d->tools, &d->config, &d->state);
    d->state.callLevel = 0;
    d->state.callStack[0].programNumber = d->mainProgram;
    ui->clearRegisters();
    for (int row = 0; row < kTraceRegisterRows; ++row)
        ui->registerCell(row, 0, kRegisterLabels[row]);
    return true;
}

void traceStop(TraceState* t, Drawing* d) {
    memset(t, 0, sizeof *t);
    d->tracing = false;
}

uint32_t traceWait(const TraceState* t, const Drawing* d, TraceSpeed speed, uint32_t now) {
    if (!d->tracing || (t->mode != kTraceRunning && t->mode != kTraceSingleStep))
        return kTraceWaitForever;
    return t->mode == kTraceSingleStep ? 0 : remainingWait(t, speed, now);
}

int traceStep(TraceState* t, Drawing* d, TraceSpeed speed, uint32_t now, TraceUi* ui) {
    if (!d->tracing) return 0;
    *speed.speed = speedIndex(*speed.speed);
    if (t->mode != kTraceRunning && t->mode != kTraceSingleStep) return 1;
    if (t->mode == kTraceRunning && remainingWait(t, speed, now) > 0) return 1;
    // The display shows what the previous step reached; the block about to
    // run is shown in part 0 right after it ran.
    showTotals(d->state, ui);
    showPosition(d->state, ui);
    const int previousTool = t->tool;
    showRegisters(t, *d, ui);
    ui->drawStep(t->motion, previousTool, t->tool);
    if (executeShownBlock(t, d, now)) {
        showExecutedBlock(t, ui);
    } else {
        ui->traceEnded();
    }
    if (t->mode == kTraceSingleStep) t->mode = kTracePaused;
    return 1;
}

void traceTimeText(double seconds, char* out, size_t size) {
    // Split as whole hours first, then whole seconds of the rest.
    const double clamped = seconds > 0 && seconds < 2e9 ? seconds : 0;
    const int hours = static_cast<int>(clamped / 3600);
    const int rest = static_cast<int>(clamped - 3600.0 * hours);
    snprintf(out, size, "%02d:%02d:%02d", hours, rest / 60, rest % 60);
}

void traceCoordinateText(float value, char* out, size_t size) {
    snprintf(out, size, "%.3lf", std::fabs(value) < 0.001f ? 0.0 : static_cast<double>(value));
}
