// Keyboard and mouse input turned into view operations and commands: the key
// and wheel tables, the drag gestures on the panes and the direction cursors.
// Portable: the Windows pre-filter only translates messages into these calls
// and carries out what they answer.
#pragma once

#include "view/view_transform.h"

#include <cstdint>

// Keys and buttons held while an event happens.
constexpr uint32_t kInputShift = 0x01;
constexpr uint32_t kInputCtrl = 0x02;
constexpr uint32_t kInputLeft = 0x04;
constexpr uint32_t kInputMiddle = 0x08;
constexpr uint32_t kInputRight = 0x10;

// The key codes of the key table: the platform's virtual-key codes.
enum InputKey : int {
    kKeyTab = 0x09,
    kKeyEnter = 0x0D,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyF1 = 0x70,  // F2..F10 follow
};

enum KeyActionKind : uint8_t {
    kKeyNothing,
    kKeyPost,           // post command to the main window
    kKeyNextPane,       // the next pane (3 wraps to 0) becomes active
    kKeyPreviousPane,   // the previous one (0 wraps to 3)
    kKeyRotate,         // add rotate[] degrees to the active pane's angles
    kKeyResetRotation,  // default angles of the active pane's kind, fitted
    kKeyToggleMark,     // break mark of the selected code line
};

struct KeyAction {
    KeyActionKind kind;
    int command;      // kKeyPost: the command id
    float rotate[3];  // kKeyRotate: degrees about X, Y, Z
};

// What key does with the modifiers held (kInputShift, kInputCtrl).
KeyAction inputKeyAction(int key, uint32_t modifiers);

// The rows of the key table that post a command whichever child of the main
// window has the focus (the Ctrl letters and the function keys): the
// platform's accelerators are built from them.
struct InputAccelerator {
    int key;
    uint32_t modifiers;  // exactly these of kInputShift, kInputCtrl
    int command;
};
int inputAccelerators(InputAccelerator* rows, int capacity);

// The command a wheel turn posts (delta > 0 away from the user), or 0 for
// none; keys are the kInput* bits held. Only no key, Shift alone and Ctrl
// alone post something.
int inputWheelCommand(int delta, uint32_t keys);

// The direction cursor (a resource id) for an angle in degrees, measured
// counter-clockwise from east, in 45-degree sectors centred on the eight
// directions.
int inputCursorForAngle(double degrees);
// The cursor of a drag step (dx, dy): neutral when both are 0.
int inputDirectionCursor(int dx, int dy);

enum DragMode : int32_t { kDragBand = 0, kDragPan = 1, kDragRotate = 2 };

// The one drag under way, in the dragged pane's client coordinates.
struct DragState {
    int32_t pane = -1;  // -1 when no drag is under way
    int32_t mode = kDragBand;
    int32_t startX = 0, startY = 0;
    int32_t currentX = 0, currentY = 0;
    bool moved = false;  // a timer step found a movement
};

// Pixels per drag step, and what one step does: pan by 3 pixels or turn
// by 1 degree per step of distance, once every timer tick.
constexpr int kDragStepPixels = 8;
constexpr int kPanPixelsPerStep = 3;
constexpr int kDragTimerId = 1010;
constexpr int kDragTimerMs = 100;

enum InputEventKind : uint8_t {
    kEventButtonDown,  // left (button 0) or middle (button 1)
    kEventButtonUp,
    kEventRightDown,
    kEventMove,
    kEventTimer,  // the drag timer only
    kEventWheel,
};

struct InputEvent {
    InputEventKind kind;
    int button;     // 0 left, 1 middle
    uint32_t keys;  // kInput* bits held
    int pane;       // the pane the event is over or addressed to, -1 none
    int x, y;       // pointer in that pane's client coordinates
    int wheel;      // wheel rotation
};

constexpr int kCursorUnchanged = 0;
constexpr int kCursorArrow = -1;

// What the platform does for one event, in this order: capture or release
// the mouse, start or stop the timer, activate, band, pan, rotate, fit,
// post the command, set the cursor.
struct InputActions {
    bool consumed;
    int pane;  // the pane the view changes are for
    bool capture, release;
    bool startTimer, stopTimer;
    bool activate;
    bool bandChanged;  // band becomes `band`; an empty one removes it
    ViewRect band;
    int panDx, panDy;    // free pan, pixels (0, 0 none)
    float turnX, turnY;  // degrees added to angleX, angleY (0 none)
    bool fit;
    int command;  // posted to the main window, 0 none
    int cursor;   // kCursorUnchanged, kCursorArrow or a cursor id
};

// Runs one event through the drag state machine.
InputActions inputHandle(DragState* drag, const InputEvent& event);
