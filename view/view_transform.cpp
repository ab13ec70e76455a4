#include "view/view_transform.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr float kMinScale = 0.0001f;
constexpr float kMaxScale = 9999.0f;

constexpr const char* kKindTitles[kPaneCount] = {"XY", "XZ", "YZ", "XYZ"};

int clampKind(int kind) { return kind >= 0 && kind < kPaneCount ? kind : 0; }

float clampScale(float s) {
    if (s < kMinScale) return kMinScale;
    return s > kMaxScale ? kMaxScale : s;
}

void identity(float m[16]) {
    memset(m, 0, 16 * sizeof(float));
    m[0] = m[5] = m[10] = m[15] = 1;
}

// m <- n * m (row-vector convention: n is applied before m).
void preMultiply(float m[16], const float n[16]) {
    float r[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += n[i * 4 + k] * m[k * 4 + j];
            r[i * 4 + j] = sum;
        }
    }
    memcpy(m, r, sizeof r);
}

// Rotation about axis 0 (X), 1 (Y) or 2 (Z); an angle of exactly 0 is skipped.
void rotate(float m[16], int axis, float degrees) {
    if (degrees == 0) return;
    const double theta = degrees * kRadiansPerDegree;
    const float co = static_cast<float>(std::cos(theta));
    const float si = static_cast<float>(std::sin(theta));
    float n[16];
    identity(n);
    const int a = axis == 0 ? 1 : 0;       // the two axes that turn
    const int b = axis == 2 ? 1 : 2;
    n[a * 4 + a] = co;
    n[b * 4 + b] = co;
    // About Y the sign pattern is mirrored (Z turns towards X).
    const float s = axis == 1 ? -si : si;
    n[a * 4 + b] = s;
    n[b * 4 + a] = -s;
    preMultiply(m, n);
}

void rotateAll(float m[16], const ViewPane& p) {
    rotate(m, 0, p.angleX);
    rotate(m, 1, p.angleY);
    rotate(m, 2, p.angleZ);
}

int width(const ViewRect& r) { return r.right - r.left; }
int height(const ViewRect& r) { return r.bottom - r.top; }
bool isEmpty(const ViewRect& r) { return r.right <= r.left || r.bottom <= r.top; }

void fitPane(ViewPane* p, const RangeBox& box) {
    float m[16];
    identity(m);
    rotateAll(m, *p);
    float xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (int corner = 0; corner < 8; ++corner) {
        float x, y;
        ProjectPoint(m, (corner & 1) ? box.max[0] : box.min[0], (corner & 2) ? box.max[1] : box.min[1],
                     (corner & 4) ? box.max[2] : box.min[2], &x, &y);
        xmin = std::fmin(xmin, x);
        xmax = std::fmax(xmax, x);
        ymin = std::fmin(ymin, y);
        ymax = std::fmax(ymax, y);
    }
    // A flat extent gives an infinite quotient; the other axis then decides.
    const float sx = static_cast<float>(width(p->clientRect)) / (xmax - xmin);
    const float sy = static_cast<float>(height(p->clientRect)) / (ymax - ymin);
    p->scale = sx <= sy ? sx : sy;
    p->panX = (xmax + xmin) * 0.5f;
    p->panY = (ymax + ymin) * 0.5f;
}

}  // namespace

void ViewDefaultAngles(int kind, float angles[3]) {
    memcpy(angles, kDefaultAngles[clampKind(kind)], 3 * sizeof(float));
}

const char* ViewKindTitle(int kind) {
    return kKindTitles[clampKind(kind)];
}

void InitPane(ViewPane* pane, int kind, const float angles[3]) {
    identity(pane->matrix);
    pane->angleX = angles[0];
    pane->angleY = angles[1];
    pane->angleZ = angles[2];
    pane->panX = pane->panY = 0;
    pane->scale = 1.0f;
    snprintf(pane->title, sizeof pane->title, "%s", ViewKindTitle(kind));
}

void BuildViewMatrix(ViewPane* pane, const ViewRect& target, float scale) {
    const float s = clampScale(scale);
    const int cx = (target.left + target.right) / 2;
    const int cy = (target.top + target.bottom) / 2;
    float m[16], n[16];
    identity(m);
    identity(n);
    n[0] = n[5] = n[10] = s;
    preMultiply(m, n);
    identity(n);
    n[12] = static_cast<float>(cx) / s - pane->panX;
    n[13] = static_cast<float>(cy) / s - pane->panY;
    preMultiply(m, n);
    rotateAll(m, *pane);
    memcpy(pane->matrix, m, sizeof m);
}

namespace {

int outcode(const ViewRect& r, const float p[2]) {
    int code = 0;
    if (p[0] < static_cast<float>(r.left)) {
        code = 1;
    } else if (p[0] > static_cast<float>(r.right)) {
        code = 2;
    }
    if (p[1] < static_cast<float>(r.top)) {
        code |= 4;
    } else if (p[1] > static_cast<float>(r.bottom)) {
        code |= 8;
    }
    return code;
}

// Slides p along the line p-q onto the edge its outcode names; false when
// the line runs along that edge's side and never reaches it.
bool moveToEdge(const ViewRect& r, int code, float p[2], const float q[2]) {
    const float dx = q[0] - p[0], dy = q[1] - p[1];
    if (code & 3) {
        if (dx == 0) return false;
        const float edge = static_cast<float>((code & 1) ? r.left : r.right);
        p[1] += (edge - p[0]) * dy / dx;
        p[0] = edge;
    } else if (code & 12) {
        if (dy == 0) return false;
        const float edge = static_cast<float>((code & 4) ? r.top : r.bottom);
        p[0] += (edge - p[1]) * dx / dy;
        p[1] = edge;
    }
    return true;
}

}  // namespace

bool ClipSegmentToEdges(const ViewRect& rect, float p0[2], float p1[2]) {
    // Two passes suffice for drawing: whatever is left outside after them
    // is clipped by the device.
    for (int pass = 0; pass < 2; ++pass) {
        const int c0 = outcode(rect, p0), c1 = outcode(rect, p1);
        if (c0 & c1) return false;
        if (c0 == 0 && c1 == 0) return true;
        if (c0 != 0 && !moveToEdge(rect, c0, p0, p1)) return false;
        // A line passing outside a corner leaves p0 on p1's side; sliding
        // p1 towards it then would run past it, to a point of no line.
        if (c1 != 0 && ((outcode(rect, p0) & c1) != 0 || !moveToEdge(rect, c1, p1, p0))) return false;
    }
    return (outcode(rect, p0) & outcode(rect, p1)) == 0;
}

void FitView(ViewState* state, int pane) {
    for (int i = 0; i < kPaneCount; ++i) {
        if (pane == -1 || pane == i) fitPane(&state->panes[i], state->range);
    }
    state->band = {0, 0, 0, 0};
}

ZoomResult ZoomView(ViewState* state, int index, bool zoomIn, int x, int y, const int* cursor) {
    ZoomResult result = {false, false, 0, 0};
    if (index < 0 || index >= kPaneCount) return result;
    ViewPane& p = state->panes[index];
    const ViewRect& c = p.clientRect;
    float f = state->zoomValue;
    if (std::fabs(f) < 0.001f) f = 1.5f;
    if (!isEmpty(state->band)) {
        const ViewRect& b = state->band;
        f = width(b) >= height(b) ? static_cast<float>(width(c)) / static_cast<float>(width(b))
                                  : static_cast<float>(height(c)) / static_cast<float>(height(b));
        if (std::fabs(f) < 0.001f) f = 1.5f;
        x = (b.left + b.right) / 2;
        y = (b.top + b.bottom) / 2;
        state->band = {0, 0, 0, 0};
    }
    const float s = p.scale;
    const float s2 = clampScale(zoomIn ? s * f : s * (1 / f));
    const int cx = (c.left + c.right) / 2, cy = (c.top + c.bottom) / 2;
    // The model y axis points up while client rows grow downward, so the
    // centre row seen from the model is (top + bottom) - cy.
    const int flippedCy = c.top + c.bottom - cy;
    if (state->zoomRecentre) {
        const float dx = static_cast<float>(x - cx) / s, dy = static_cast<float>(flippedCy - y) / s;
        if (cursor != nullptr && std::abs(cursor[0] - x) <= 2 && std::abs(cursor[1] - y) <= 2) {
            result.moveCursor = true;
            result.cursorX = cx;
            result.cursorY = cy;
        }
        p.scale = s2;
        p.panX += dx;
        p.panY += dy;
    } else {
        if (x < 0 || y < 0) return result;
        p.scale = s2;
        float dx = static_cast<float>(x - cx) / s2, dy = static_cast<float>(flippedCy - y) / s2;
        if (!zoomIn) {
            dx *= -0.5f;
            dy *= -0.5f;
        }
        p.panX += dx;
        p.panY += dy;
    }
    result.changed = true;
    return result;
}

bool PanView(ViewState* state, int index, int direction, int dx, int dy) {
    if (index < 0 || index >= kPaneCount) return false;
    ViewPane& p = state->panes[index];
    state->band = {0, 0, 0, 0};
    const int w = width(p.clientRect), h = height(p.clientRect);
    int mx = 0, my = 0;
    switch (direction) {
    case 0: my = h / 16; break;
    case 1: my = -(h / 16); break;
    case 2: mx = -(w / 16); break;
    case 3: mx = w / 16; break;
    default:
        mx = dx;
        my = -dy;  // a screen offset downward is a model offset downward
        break;
    }
    if (mx == 0 && my == 0) return false;
    p.panX += static_cast<float>(mx) / p.scale;
    p.panY += static_cast<float>(my) / p.scale;
    return true;
}

float NormaliseAngle(float a) {
    // An angle read from a damaged settings file may be no number or far
    // beyond any turn count an int holds: such a view starts square.
    if (!(std::fabs(a) < 1.0e9f)) return 0.0f;
    const int k = static_cast<int>(a * 0.002777777777777778) - (a < 0 ? 1 : 0);
    return a - 360.0f * static_cast<float>(k);
}

void RotateView(ViewState* state, int index, float dx, float dy, float dz) {
    if (index < 0 || index >= kPaneCount) return;
    ViewPane& p = state->panes[index];
    if (dx != 0) p.angleX = NormaliseAngle(p.angleX + dx);
    if (dy != 0) p.angleY = NormaliseAngle(p.angleY + dy);
    if (dz != 0) p.angleZ = NormaliseAngle(p.angleZ + dz);
}

void ResetRotation(ViewState* state, int index, int kind) {
    if (index < 0 || index >= kPaneCount) return;
    float angles[3];
    ViewDefaultAngles(kind, angles);
    ViewPane& p = state->panes[index];
    p.angleX = angles[0];
    p.angleY = angles[1];
    p.angleZ = angles[2];
    FitView(state, index);
}
