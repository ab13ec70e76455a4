#include "app/input.h"

#include "res/resource.h"

#include <cmath>
#include <utility>

namespace {

// Whether a key row wants Shift: either way, only without, only with.
enum ShiftRule : uint8_t { kShiftAny, kShiftOff, kShiftOn };

struct KeyRow {
    int key;
    ShiftRule shift;
    bool ctrl;         // only with Ctrl; other rows ignore it
    bool accelerator;  // also works whichever child has the focus
    KeyAction action;
};

constexpr KeyAction post(int command) {
    return {kKeyPost, command, {0, 0, 0}};
}
constexpr KeyAction turn(float x, float y, float z) {
    return {kKeyRotate, 0, {x, y, z}};
}
constexpr KeyAction act(KeyActionKind kind) {
    return {kind, 0, {0, 0, 0}};
}
constexpr int fkey(int n) {
    return kKeyF1 + n - 1;
}

// Shift turns the arrows from panning into rotating the active pane, and
// the axis letters the other way round; C, O and P only count with Ctrl.
// F6 and F7 have no row.
constexpr KeyRow kKeyRows[] = {
    {kKeyTab, kShiftOff, false, false, act(kKeyNextPane)},
    {kKeyTab, kShiftOn, false, false, act(kKeyPreviousPane)},
    {kKeyEnter, kShiftAny, false, false, post(CMD_TOGGLE_SINGLE_PANE)},
    {kKeyEscape, kShiftAny, false, false, post(CMD_TRACE_STOP)},
    {kKeySpace, kShiftAny, false, false, post(CMD_TRACE_STEP)},
    {kKeyPageUp, kShiftAny, false, false, post(CMD_ZOOM_IN)},
    {kKeyPageDown, kShiftAny, false, false, post(CMD_ZOOM_OUT)},
    {kKeyHome, kShiftOff, false, false, post(CMD_FIT)},
    {kKeyHome, kShiftOn, false, false, post(CMD_FIT_ALL)},
    {kKeyLeft, kShiftOff, false, false, post(CMD_PAN_LEFT)},
    {kKeyLeft, kShiftOn, false, false, turn(0, -5, 0)},
    {kKeyRight, kShiftOff, false, false, post(CMD_PAN_RIGHT)},
    {kKeyRight, kShiftOn, false, false, turn(0, 5, 0)},
    {kKeyUp, kShiftOff, false, false, post(CMD_PAN_UP)},
    {kKeyUp, kShiftOn, false, false, turn(5, 0, 0)},
    {kKeyDown, kShiftOff, false, false, post(CMD_PAN_DOWN)},
    {kKeyDown, kShiftOn, false, false, turn(-5, 0, 0)},
    {'X', kShiftOff, false, false, turn(5, 0, 0)},
    {'X', kShiftOn, false, false, turn(-5, 0, 0)},
    {'Y', kShiftOff, false, false, turn(0, 5, 0)},
    {'Y', kShiftOn, false, false, turn(0, -5, 0)},
    {'Z', kShiftOff, false, false, turn(0, 0, 5)},
    {'Z', kShiftOn, false, false, turn(0, 0, -5)},
    {'R', kShiftAny, false, false, act(kKeyResetRotation)},
    {'C', kShiftOff, true, true, post(CMD_COPY)},
    {'O', kShiftOff, true, true, post(CMD_FILE_OPEN)},
    {'P', kShiftOff, true, true, post(CMD_PRINT)},
    {fkey(1), kShiftOff, false, true, post(CMD_HELP)},
    {fkey(2), kShiftOff, false, true, post(CMD_SPEED_HIGH)},
    {fkey(3), kShiftOff, false, true, post(CMD_SPEED_NORMAL)},
    {fkey(4), kShiftOff, false, true, post(CMD_SPEED_LOW)},
    {fkey(5), kShiftOff, false, true, post(CMD_TRACE_RUN)},
    {fkey(8), kShiftOff, false, true, post(CMD_TRACE_STEP)},
    {fkey(9), kShiftOff, false, true, act(kKeyToggleMark)},
    {fkey(10), kShiftOff, false, true, post(CMD_TRACE_STEP)},
};

bool rowMatches(const KeyRow& row, int key, uint32_t modifiers) {
    if (row.key != key) return false;
    if (row.ctrl && (modifiers & kInputCtrl) == 0) return false;
    const bool shift = (modifiers & kInputShift) != 0;
    return row.shift == kShiftAny || (row.shift == kShiftOn) == shift;
}

bool isEmpty(const ViewRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// One drag step: the distance from the start point in whole steps,
// truncated toward zero.
void dragSteps(const DragState& d, int* dx, int* dy) {
    *dx = (d.currentX - d.startX) / kDragStepPixels;
    *dy = (d.currentY - d.startY) / kDragStepPixels;
}

// The band of a band drag, normalised; empty until the pointer has moved a
// whole step away from the start, so that a plain click shows none.
ViewRect dragBand(const DragState& d) {
    int dx, dy;
    dragSteps(d, &dx, &dy);
    if (dx == 0 && dy == 0) return {0, 0, 0, 0};
    ViewRect r = {d.startX, d.startY, d.currentX, d.currentY};
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

void feedback(const DragState& d, InputActions* out) {
    if (d.mode == kDragBand) {
        out->bandChanged = true;
        out->band = dragBand(d);
        return;
    }
    int dx, dy;
    dragSteps(d, &dx, &dy);
    out->cursor = inputDirectionCursor(dx, dy);
}

// Ends the drag after a lost button-up or a right click: nothing of it
// stays on the screen.
void cancelDrag(DragState* d, InputActions* out) {
    out->release = true;
    if (d->mode == kDragBand) {
        out->bandChanged = true;
        out->band = {0, 0, 0, 0};
    } else {
        out->stopTimer = true;
        out->cursor = kCursorArrow;
    }
    *d = DragState{};
}

void onButtonDown(DragState* d, const InputEvent& e, InputActions* out) {
    if (d->pane >= 0 || e.pane < 0) return;
    d->pane = e.pane;
    d->mode = e.button == 0 ? kDragBand : (e.keys & kInputShift) != 0 ? kDragRotate : kDragPan;
    d->startX = d->currentX = e.x;
    d->startY = d->currentY = e.y;
    d->moved = false;
    out->consumed = out->capture = out->activate = true;
    out->bandChanged = true;  // the old band goes
    out->band = {0, 0, 0, 0};
    out->startTimer = d->mode != kDragBand;
    if (d->mode != kDragBand) feedback(*d, out);
}

void onMove(DragState* d, const InputEvent& e, InputActions* out) {
    if (d->pane < 0) return;
    out->consumed = true;
    if ((e.keys & (kInputLeft | kInputMiddle | kInputRight)) == 0) {
        cancelDrag(d, out);
        return;
    }
    d->currentX = e.x;
    d->currentY = e.y;
    if (d->mode == kDragBand) feedback(*d, out);
}

void onTimer(DragState* d, InputActions* out) {
    if (d->pane < 0) return;
    out->consumed = true;
    int dx, dy;
    dragSteps(*d, &dx, &dy);
    if (dx != 0 || dy != 0) {
        if (d->mode == kDragPan) {
            out->panDx = kPanPixelsPerStep * dx;
            out->panDy = kPanPixelsPerStep * dy;
        } else if (d->mode == kDragRotate) {
            out->turnX = static_cast<float>(-dy);
            out->turnY = static_cast<float>(dx);
        }
        d->moved = true;
    }
    feedback(*d, out);
}

void onButtonUp(DragState* d, const InputEvent& e, InputActions* out) {
    if (d->pane < 0) return;
    out->consumed = out->release = true;
    if (d->mode == kDragBand) {
        // The zoom commands use up the band the drag left.
        if ((e.keys & kInputShift) != 0) {
            out->command = CMD_ZOOM_IN;
        } else if ((e.keys & kInputCtrl) != 0) {
            out->command = CMD_ZOOM_OUT;
        }
    } else {
        out->stopTimer = true;
        out->cursor = kCursorArrow;
        // A middle click that never moved the view asks for the fit.
        out->fit = d->mode == kDragPan && !d->moved;
    }
    *d = DragState{};
}

void onWheel(const DragState& d, const InputEvent& e, InputActions* out) {
    if (d.pane >= 0) {
        out->consumed = true;  // no wheel while dragging
        return;
    }
    if (e.pane < 0) return;
    out->consumed = true;
    out->command = inputWheelCommand(e.wheel, e.keys);
}

}  // namespace

KeyAction inputKeyAction(int key, uint32_t modifiers) {
    for (const KeyRow& row : kKeyRows) {
        if (rowMatches(row, key, modifiers)) return row.action;
    }
    return act(kKeyNothing);
}

int inputAccelerators(InputAccelerator* rows, int capacity) {
    int n = 0;
    for (const KeyRow& row : kKeyRows) {
        if (!row.accelerator) continue;
        // The break mark is toggled through its menu command.
        const int command =
            row.action.kind == kKeyToggleMark ? CMD_MARK_TOGGLE : row.action.command;
        if (n < capacity) rows[n] = {row.key, row.ctrl ? kInputCtrl : 0u, command};
        ++n;
    }
    return n;
}

int inputWheelCommand(int delta, uint32_t keys) {
    if (delta == 0) return 0;
    const bool up = delta > 0;
    switch (keys & (kInputShift | kInputCtrl | kInputMiddle)) {
        case 0: return up ? CMD_ZOOM_IN : CMD_ZOOM_OUT;
        case kInputShift: return up ? CMD_PAN_UP : CMD_PAN_DOWN;
        case kInputCtrl: return up ? CMD_PAN_LEFT : CMD_PAN_RIGHT;
        default: return 0;
    }
}

int inputCursorForAngle(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    // Counter-clockwise from east; each sector starts 22.5 degrees before
    // its direction.
    static constexpr int kSectors[] = {IDC_DRAG_EAST,      IDC_DRAG_NORTHEAST, IDC_DRAG_NORTH,
                                       IDC_DRAG_NORTHWEST, IDC_DRAG_WEST,      IDC_DRAG_SOUTHWEST,
                                       IDC_DRAG_SOUTH,     IDC_DRAG_SOUTHEAST};
    const int sector = static_cast<int>((a + 22.5) / 45.0) % 8;
    return kSectors[sector];
}

int inputDirectionCursor(int dx, int dy) {
    if (dx == 0 && dy == 0) return IDC_DRAG_NEUTRAL;
    // Screen y grows downward: a step up the screen points north.
    const double degrees =
        std::atan2(-static_cast<double>(dy), static_cast<double>(dx)) * 57.29577951308232;
    return inputCursorForAngle(degrees);
}

InputActions inputHandle(DragState* drag, const InputEvent& event) {
    InputActions out = {};
    out.pane = drag->pane >= 0 ? drag->pane : event.pane;
    switch (event.kind) {
        case kEventButtonDown: onButtonDown(drag, event, &out); break;
        case kEventButtonUp: onButtonUp(drag, event, &out); break;
        case kEventRightDown:
            // The click still reaches its window: only the drag ends here.
            if (drag->pane >= 0) cancelDrag(drag, &out);
            break;
        case kEventMove: onMove(drag, event, &out); break;
        case kEventTimer: onTimer(drag, &out); break;
        case kEventWheel: onWheel(*drag, event, &out); break;
    }
    if (out.bandChanged && isEmpty(out.band)) out.band = {0, 0, 0, 0};
    return out;
}
