#include "view/path_render.h"

#include "pathdata/motion_style.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr int kCircleSegments = 54;
constexpr double kCircleStep = 0.11635528346628864;  // 2 pi / 54
// Circle points joined between the two circles of a frustum.
constexpr int kFrustumRibs[] = {0, 1, 7, 13, 19, 25, 31, 37, 43, 49, 54};

struct Point2 {
    float v[2];
};

Point2 project(const RenderTarget& t, const float p[3]) {
    Point2 q;
    ProjectPoint(t.matrix, p[0], p[1], p[2], &q.v[0], &q.v[1]);
    return q;
}

int flipY(const RenderTarget& t, float y) {
    return static_cast<int>(static_cast<float>(t.rect.top + t.rect.bottom) - y);
}

void drawLine(const RenderTarget& t, const float a[3], const float b[3]) {
    Point2 p = project(t, a), q = project(t, b);
    if (!ClipSegment(t.rect, p.v, q.v)) return;
    t.canvas->moveTo(static_cast<int>(p.v[0]), flipY(t, p.v[1]));
    t.canvas->lineTo(static_cast<int>(q.v[0]), flipY(t, q.v[1]));
}

// Draws points as one stroked path; invisible segments break it.
void drawPolyline(const RenderTarget& t, const float (*points)[3], int n) {
    t.canvas->beginPath();
    bool previousVisible = false, drawn = false;
    Point2 from = project(t, points[0]);
    for (int i = 1; i < n; ++i) {
        Point2 to = project(t, points[i]);
        Point2 a = from, b = to;
        bool visible = ClipSegment(t.rect, a.v, b.v);
        if (visible) {
            if (!previousVisible) t.canvas->moveTo(static_cast<int>(a.v[0]), flipY(t, a.v[1]));
            t.canvas->lineTo(static_cast<int>(b.v[0]), flipY(t, b.v[1]));
            drawn = true;
        }
        previousVisible = visible;
        from = to;
    }
    if (drawn) {
        t.canvas->strokePath();
    } else {
        t.canvas->abandonPath();
    }
}

void circlePoints(float cx, float cy, float z, float r, float out[kCircleSegments + 1][3]) {
    double x = r, y = 0;
    const double c = std::cos(kCircleStep), s = std::sin(kCircleStep);
    for (int i = 0; i <= kCircleSegments; ++i) {
        out[i][0] = static_cast<float>(cx + x);
        out[i][1] = static_cast<float>(cy + y);
        out[i][2] = z;
        const double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
    }
}

// Flag bits of a frustum: which of its two circles are drawn.
constexpr int kFirstCircle = 0x01 | 0x10;
constexpr int kSecondCircle = 0x02 | 0x20;

// Two circles parallel to the XY plane, joined by eleven lines.
void drawFrustum(const RenderTarget& t, float cx1, float cy1, float z1, float r1, float cx2,
                 float cy2, float z2, float r2, int flags) {
    float a[kCircleSegments + 1][3], b[kCircleSegments + 1][3];
    circlePoints(cx1, cy1, z1, r1, a);
    circlePoints(cx2, cy2, z2, r2, b);
    if (flags & kFirstCircle) drawPolyline(t, a, kCircleSegments + 1);
    if (flags & kSecondCircle) drawPolyline(t, b, kCircleSegments + 1);
    for (int k : kFrustumRibs) drawLine(t, a[k], b[k]);
}

bool shown(const RenderTarget& t, uint32_t bit) { return (t.displayMask & bit) != 0; }

int drawStraight(const RenderTarget& t, const MotionRecord& r, float end[3]) {
    MotionStyle style = LineStyle(r);
    if (!shown(t, styleShowBit(style))) return 0;
    t.canvas->selectPen(style);
    const Point3 a = ncLoadPoint(r.line.start), b = ncLoadPoint(r.line.end);
    drawLine(t, a.v, b.v);
    if (end != nullptr) {
        for (int i = 0; i < 3; ++i) end[i] = b.v[i];
    }
    return 1;
}

int drawArc(const RenderTarget& t, const MotionRecord& r, float end[3]) {
    const MotionArc& a = r.arc;
    MotionStyle style = ArcStyle(r);
    if (!shown(t, styleShowBit(style))) return 0;
    t.canvas->selectPen(style);
    const PlaneAxes ax = PlaneAxesOf(r.modeFlags);
    const float sweep = a.angleTo - a.angleFrom;
    const int n = ArcSegmentCount(sweep);
    const double step = sweep * kRadiansPerDegree / n;
    // The sweep runs counter-clockwise, so a clockwise arc is drawn from
    // its end point back to its start point.
    const Point3 start = ncLoadPoint(a.start), finish = ncLoadPoint(a.end);
    const float* first = r.gCode == 2 ? finish.v : start.v;
    const float* last = r.gCode == 2 ? start.v : finish.v;
    float points[55][3];
    double p[3] = {first[0], first[1], first[2]};
    const double c = std::cos(step), s = std::sin(step);
    const double ca = a.centre[ax.first], cb = a.centre[ax.second];
    const double rise = (static_cast<double>(last[ax.normal]) - first[ax.normal]) / n;
    for (int i = 0; i <= n; ++i) {
        for (int k = 0; k < 3; ++k) points[i][k] = static_cast<float>(p[k]);
        const double da = p[ax.first] - ca, db = p[ax.second] - cb;
        p[ax.first] = ca + da * c - db * s;
        p[ax.second] = cb + db * c + da * s;
        p[ax.normal] = first[ax.normal] + rise * (i + 1);
    }
    drawPolyline(t, points, n + 1);
    if (end != nullptr) {
        for (int i = 0; i < 3; ++i) end[i] = finish.v[i];
    }
    return 1;
}

int drawCycle(const RenderTarget& t, const MotionRecord& r, float end[3]) {
    const MotionCycle& c = r.cycle;
    const bool rapid = shown(t, kShowRapid), feed = shown(t, kShowCuttingZ);
    const bool outline = shown(t, kShowCutting) && c.toolRadius > 0;
    float p0[3], p1[3], p2[3];
    for (int k = 0; k < 3; ++k) {
        p0[k] = c.start[k];
        p1[k] = c.rPoint[k];
        p2[k] = c.bottom[k];
    }
    const int holes = c.repeatCount > 1 ? c.repeatCount : 1;
    for (int hole = 0; hole < holes; ++hole) {
        if (hole > 0) {
            for (float* p : {p0, p1, p2}) {
                p[0] += c.stepX;
                p[1] += c.stepY;
            }
        }
        if (rapid) {
            const float above[3] = {p1[0], p1[1], p0[2]};
            t.canvas->selectPen(kPenRapid);
            drawLine(t, p0, above);
            drawLine(t, above, p1);
        }
        if (feed) {
            t.canvas->selectPen(kPenCuttingZ);
            drawLine(t, p1, p2);
        }
        if (outline) {
            t.canvas->selectPen(kPenCutting);
            drawFrustum(t, p1[0], p1[1], p1[2], c.toolRadius, p2[0], p2[1], p2[2], c.toolRadius,
                        kFirstCircle | kSecondCircle);
        }
    }
    if (!rapid && !feed && !outline) return 0;
    if (end != nullptr) {
        for (int k = 0; k < 3; ++k) end[k] = p2[k];
    }
    return 1;
}

struct Section {
    int flags;
    float a[6];  // bottom r = a0 D + a1, top r = a2 D + a3, height = a4 L + a5
};

// Body, flange and holder of the tool image, stacked from the tip up.
constexpr Section kToolSections[] = {
    {0x15, {0.5f, 0, 0.5f, 0, 1, 0}},
    {0x05, {0.5f, 0, 0.5f, 5, 0, 0.5f}},
    {0x07, {0.5f, 5, 0.5f, 7, 0, 7}},
};

void drawToolWireframe(const RenderTarget& t, const ToolShape* tool, const float pos[3]) {
    float d = tool != nullptr ? tool->diameter : 0;
    if (!(d > 0.001f)) d = 1.0f;
    float l = tool != nullptr ? tool->length : 0;
    if (!(l > 0.001f)) l = 10 * d;
    float r = tool != nullptr ? tool->cornerRadius : 0;
    if (r > d / 2) r = d / 2;
    float h = pos[2];
    if (r > 0.001f) {
        // The rounded corner as five rings widening towards the full radius.
        for (int i = 1; i <= 9; i += 2) {
            const float height = 0.2f * r;
            drawFrustum(t, pos[0], pos[1], h, 0.2f * i * (d / 2 - r), pos[0], pos[1], h + height,
                        0.2f * i * (d / 2), 0x05);
            h += height;
        }
    }
    for (const Section& s : kToolSections) {
        if (!(s.a[2] > 0)) break;
        const float height = s.a[4] * l + s.a[5];
        drawFrustum(t, pos[0], pos[1], h, s.a[0] * d + s.a[1], pos[0], pos[1], h + height,
                    s.a[2] * d + s.a[3], s.flags);
        h += height;
    }
}

}  // namespace

int ArcSegmentCount(float sweep) {
    int n = static_cast<int>(0.5f + 0.15f * sweep);
    return n < 4 ? 4 : (n > 54 ? 54 : n);
}

int DrawMotion(const RenderTarget& t, const MotionRecord& r, float end[3]) {
    if (!IsRecordShown(t.filter, r.programNumber, r.toolNumber)) return 0;
    switch (r.kind) {
    case kMotionPreset:
        if (end != nullptr) {
            for (int i = 0; i < 3; ++i) end[i] = r.preset.position[i];
        }
        return 1;
    case kMotionLine: return drawStraight(t, r, end);
    case kMotionArc: return drawArc(t, r, end);
    case kMotionCycle: return drawCycle(t, r, end);
    default: return 0;
    }
}

void DrawToolImage(const RenderTarget& t, const ToolShape* tool, const float position[3]) {
    t.canvas->setXor(true);
    t.canvas->selectPen(kPenTool);
    if (shown(t, kShowToolImage)) {
        drawToolWireframe(t, tool, position);
    } else {
        Point2 p = project(t, position);
        const float x = p.v[0], y = p.v[1];
        if (x >= static_cast<float>(t.rect.left) && x <= static_cast<float>(t.rect.right) &&
            y >= static_cast<float>(t.rect.top) && y <= static_cast<float>(t.rect.bottom)) {
            const int ix = static_cast<int>(x), iy = flipY(t, y);
            t.canvas->fillEllipse(ix - 4, iy - 4, ix + 5, iy + 5, kPenTool);
        }
    }
    t.canvas->setXor(false);
}

void DrawAxes(const RenderTarget& t, float scale, const uint32_t labelColors[3]) {
    static const char* const kLabels[3] = {"X", "Y", "Z"};
    const float length = 50 / scale;
    const float origin[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        float tip[3] = {0, 0, 0};
        tip[i] = length;
        t.canvas->selectPen(kPenAxisX + i);
        drawLine(t, origin, tip);
        Point2 p = project(t, tip);
        t.canvas->text(static_cast<int>(p.v[0]) + 1, flipY(t, p.v[1]) + 1, kLabels[i],
                       labelColors[i]);
    }
}

void DrawWorkPlane(const RenderTarget& t, int kind, const RangeBox& box) {
    t.canvas->selectPen(kPenWorkPlane);
    // The grid lies on the face the kind looks at from behind: the floor
    // for XY and XYZ, the back wall for XZ and YZ.
    int a = 0, b = 1, fixedAxis = 2;
    float fixedValue = box.min[2];
    if (kind == kViewXZ) {
        b = 2;
        fixedAxis = 1;
        fixedValue = box.max[1];
    } else if (kind == kViewYZ) {
        a = 1;
        b = 2;
        fixedAxis = 0;
        fixedValue = box.max[0];
    }
    const float sa = (box.max[a] - box.min[a]) * 0.08333333333333333f;
    const float sb = (box.max[b] - box.min[b]) * 0.08333333333333333f;
    for (int k = 0; k <= 12; ++k) {
        float p[3], q[3];
        p[fixedAxis] = q[fixedAxis] = fixedValue;
        p[a] = box.min[a];
        q[a] = box.max[a];
        p[b] = q[b] = box.min[b] + static_cast<float>(k) * sb;
        drawLine(t, p, q);
        p[b] = box.min[b];
        q[b] = box.max[b];
        p[a] = q[a] = box.min[a] + static_cast<float>(k) * sa;
        drawLine(t, p, q);
    }
    float c[8][3];
    for (int i = 0; i < 8; ++i) {
        // C0..C3 walk the bottom face (minX,minY) -> (minX,maxY) -> (maxX,maxY) -> (maxX,minY).
        const int corner = i % 4;
        c[i][0] = corner >= 2 ? box.max[0] : box.min[0];
        c[i][1] = (corner == 1 || corner == 2) ? box.max[1] : box.min[1];
        c[i][2] = i >= 4 ? box.max[2] : box.min[2];
    }
    for (int i = 0; i < 4; ++i) {
        drawLine(t, c[i], c[(i + 1) % 4]);
        drawLine(t, c[4 + i], c[4 + (i + 1) % 4]);
        drawLine(t, c[i], c[4 + i]);
    }
}
