// Per-pane view transforms: the matrix from model coordinates to pane
// pixels, clipping, and the zoom, pan, fit and rotation operations.
#pragma once

#include "definitions/view_planes.h"
#include "pathdata/range_box.h"

#include <cstdint>

struct ViewRect {
    int32_t left, top, right, bottom;
};

// The view state of one pane slot.
struct ViewPane {
    float matrix[16];  // row-major; a point is the row (x, y, z, 1) times it
    float angleX, angleY, angleZ;  // degrees about the model axes
    float panX, panY;  // rotated model point shown at the pane centre
    float scale;       // pixels per model unit
    void* window;      // the pane's window, where there is one
    ViewRect clientRect;
    char title[32];
    void* cachedPicture;  // off-screen picture of the last full paint
};

// Everything the view operations share: the four panes, the range box, the
// rubber band on the active pane and the zoom settings.
struct ViewState {
    ViewPane panes[kPaneCount];
    RangeBox range;
    ViewRect band;        // empty (all zero) when no band is shown
    float zoomValue;      // factor of one zoom step
    bool zoomRecentre;    // zooming brings the zoom point to the centre
};

// Default angles and title of a kind.
void ViewDefaultAngles(int kind, float angles[3]);
const char* ViewKindTitle(int kind);
// Sets up a pane for a kind with the given angles: scale 1, no pan.
void InitPane(ViewPane* pane, int kind, const float angles[3]);

// Builds pane->matrix for drawing into target at scale.
void BuildViewMatrix(ViewPane* pane, const ViewRect& target, float scale);
// Projects a model point with a matrix (before the vertical flip).
inline void ProjectPoint(const float m[16], float x, float y, float z, float* px, float* py) {
    *px = x * m[0] + y * m[4] + z * m[8] + m[12];
    *py = x * m[1] + y * m[5] + z * m[9] + m[13];
}
// The edge work of ClipSegment, for a segment with an end outside rect.
bool ClipSegmentToEdges(const ViewRect& rect, float p0[2], float p1[2]);

// Clips a projected segment to rect; false when it lies wholly outside.
// Most segments of a drawing seen whole lie inside: they are answered here.
inline bool ClipSegment(const ViewRect& rect, float p0[2], float p1[2]) {
    auto inside = [&rect](const float p[2]) {
        return p[0] >= static_cast<float>(rect.left) && p[0] <= static_cast<float>(rect.right) &&
               p[1] >= static_cast<float>(rect.top) && p[1] <= static_cast<float>(rect.bottom);
    };
    return (inside(p0) && inside(p1)) || ClipSegmentToEdges(rect, p0, p1);
}

// Fits pane (or all four with -1) to the range box and removes the band.
void FitView(ViewState* state, int pane);

// Result of a zoom: whether anything changed and whether the mouse cursor,
// found on the zoom point, should jump to the pane centre (cursorX/Y).
struct ZoomResult {
    bool changed;
    bool moveCursor;
    int cursorX, cursorY;
};
// Zooms pane in or out about (x, y) in its client coordinates, or to the
// band when one is shown. cursor is the mouse position in the same
// coordinates, or null when it is elsewhere.
ZoomResult ZoomView(ViewState* state, int pane, bool zoomIn, int x, int y, const int* cursor);

// Pans by one step (direction 0 up, 1 down, 2 left, 3 right) or, for any
// other direction, by (dx, dy) pixels. False when nothing moved.
bool PanView(ViewState* state, int pane, int direction, int dx, int dy);

// Adds degrees to the angles and brings each changed one into [0, 360).
void RotateView(ViewState* state, int pane, float dx, float dy, float dz);
float NormaliseAngle(float angle);
// Back to the default angles of kind, then fitted.
void ResetRotation(ViewState* state, int pane, int kind);
