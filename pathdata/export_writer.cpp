#include "pathdata/export_writer.h"

#include "pathdata/motion_style.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kEpsilon = 1e-6;
constexpr double kRadiansPerDegree = 0.017453292519943295;

struct Layer {
    const char* name;
    const char* lineType;
};

// In style order: rapid, cutting, cutting along Z, compensation.
constexpr Layer kLayers[4] = {
    {"Layer_G00", "DOT"},
    {"Layer_G01XYZ", "CONTINUOUS"},
    {"Layer_G01Z", "CONTINUOUS"},
    {"Layer_G01D", "CONTINUOUS"},
};

const char kDxfTables[] =
    "  0\r\nSECTION\r\n  2\r\nTABLES\r\n  0\r\nTABLE\r\n  2\r\nLTYPE\r\n"
    "  0\r\nLTYPE\r\n  2\r\nCONTINUOUS\r\n 70\r\n  0\r\n  3\r\nSolid line\r\n 72\r\n 65\r\n 73\r\n  0\r\n 40\r\n0.0\r\n"
    "  0\r\nLTYPE\r\n  2\r\nDOT\r\n 70\r\n  0\r\n"
    "  3\r\nDot ...........................................\r\n"
    " 72\r\n 65\r\n 73\r\n  2\r\n 40\r\n0.25\r\n 49\r\n0.0\r\n 49\r\n-0.25\r\n  0\r\nENDTAB\r\n"
    "  0\r\nTABLE\r\n  2\r\nLAYER\r\n 70\r\n 16\r\n";

// Appends text to a line being composed in out; returns the new end.
char* append(char* out, const char* text) {
    size_t n = strlen(text);
    memcpy(out, text, n);
    return out + n;
}

char* appendFixed(char* out, double value) { return out + FormatFixed6(value, out); }

// Group codes " 10", " 20", " 30" (or 11/21/31, 210/220/230) with a point.
char* appendPoint(char* out, const char* const codes[3], double x, double y, double z) {
    const double v[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        out = append(out, codes[i]);
        out = appendFixed(out, v[i]);
        out = append(out, "\r\n");
    }
    return out;
}

constexpr const char* kFirstPoint[3] = {" 10\r\n", " 20\r\n", " 30\r\n"};
constexpr const char* kSecondPoint[3] = {" 11\r\n", " 21\r\n", " 31\r\n"};
constexpr const char* kExtrusion[3] = {"210\r\n", "220\r\n", "230\r\n"};

bool differs(const Point3& a, const Point3& b) {
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(static_cast<double>(a.v[i]) - b.v[i]) > kEpsilon) return true;
    }
    return false;
}

bool writeLine(TextSink* sink, MotionStyle style, const double from[3], const double to[3]) {
    char text[1024];
    char* p = append(text, "  0\r\nLINE\r\n  8\r\n");
    p = append(p, kLayers[style].name);
    p = append(p, "\r\n");
    p = appendPoint(p, kFirstPoint, from[0], from[1], from[2]);
    p = appendPoint(p, kSecondPoint, to[0], to[1], to[2]);
    return sinkWriteRaw(sink, text, static_cast<size_t>(p - text));
}

bool writeDxfHeader(TextSink* sink, const DxfStyle& style) {
    char text[1024];
    char* p = append(text, "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$EXTMIN\r\n");
    p = appendPoint(p, kFirstPoint, style.rangeMin[0], style.rangeMin[1], style.rangeMin[2]);
    p = append(p, "  9\r\n$EXTMAX\r\n");
    p = appendPoint(p, kFirstPoint, style.rangeMax[0], style.rangeMax[1], style.rangeMax[2]);
    p = append(p, "  0\r\nENDSEC\r\n");
    if (!sinkWriteRaw(sink, text, static_cast<size_t>(p - text))) return false;
    if (!sinkWriteRaw(sink, kDxfTables)) return false;
    for (int i = 0; i < 4; ++i) {
        int color = DxfColorNumber(style.colorMap[i]);
        if ((style.displayMask & styleShowBit(i)) == 0) color = -color;
        if (!WriteText(sink, "  0\nLAYER\n  2\n%s\n 70\n  0\n 62\n%3d\n  6\n%s\n", kLayers[i].name,
                       color, kLayers[i].lineType)) {
            return false;
        }
    }
    return sinkWriteRaw(sink, "  0\r\nENDTAB\r\n  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
}

bool writeDxfStraight(TextSink* sink, const MotionRecord& r) {
    const Point3 a = ncLoadPoint(r.line.start), b = ncLoadPoint(r.line.end);
    if (!differs(a, b)) return true;
    const double from[3] = {a.v[0], a.v[1], a.v[2]};
    const double to[3] = {b.v[0], b.v[1], b.v[2]};
    return writeLine(sink, LineStyle(r), from, to);
}

bool writeDxfArc(TextSink* sink, const MotionRecord& r) {
    const MotionArc& a = r.arc;
    if (!(a.radius > kEpsilon)) return true;
    PlaneAxes axes = PlaneAxesOf(r.modeFlags);
    double normal[3] = {0, 0, 0};
    normal[axes.normal] = 1;
    char text[1024];
    char* p = append(text, "  0\r\nARC\r\n  8\r\n");
    p = append(p, kLayers[ArcStyle(r)].name);
    p = append(p, "\r\n");
    p = appendPoint(p, kFirstPoint, a.centre[axes.first], a.centre[axes.second],
                    a.centre[axes.normal]);
    p = append(p, " 40\r\n");
    p = appendFixed(p, a.radius);
    p = append(p, "\r\n 50\r\n");
    p = appendFixed(p, a.angleFrom);
    p = append(p, "\r\n 51\r\n");
    p = appendFixed(p, a.angleTo);
    p = append(p, "\r\n");
    p = appendPoint(p, kExtrusion, normal[0], normal[1], normal[2]);
    return sinkWriteRaw(sink, text, static_cast<size_t>(p - text));
}

// The three points of hole i of a cycle: every point moves by the step.
struct Hole {
    double start[3], r[3], bottom[3];
};

Hole cycleHole(const MotionCycle& c, int i) {
    Hole h;
    const double dx = static_cast<double>(i) * c.stepX, dy = static_cast<double>(i) * c.stepY;
    const Point3 src[3] = {ncLoadPoint(c.start), ncLoadPoint(c.rPoint), ncLoadPoint(c.bottom)};
    double* dst[3] = {h.start, h.r, h.bottom};
    for (int k = 0; k < 3; ++k) {
        dst[k][0] = src[k].v[0] + dx;
        dst[k][1] = src[k].v[1] + dy;
        dst[k][2] = src[k].v[2];
    }
    return h;
}

int holeCount(const MotionCycle& c) { return c.repeatCount > 1 ? c.repeatCount : 1; }

bool writeDxfHole(TextSink* sink, const MotionCycle& c, const Hole& h) {
    const double above[3] = {h.r[0], h.r[1], h.start[2]};
    if (std::fabs(h.r[0] - h.start[0]) > kEpsilon || std::fabs(h.r[1] - h.start[1]) > kEpsilon) {
        if (!writeLine(sink, kStyleRapid, h.start, above)) return false;
    }
    if (std::fabs(h.r[2] - h.start[2]) > kEpsilon && !writeLine(sink, kStyleRapid, above, h.r)) {
        return false;
    }
    bool feed = false;
    for (int k = 0; k < 3; ++k) feed = feed || std::fabs(h.r[k] - h.bottom[k]) > kEpsilon;
    if (feed && !writeLine(sink, kStyleCuttingZ, h.r, h.bottom)) return false;
    if (!(c.toolRadius > 0)) return true;
    char text[1024];
    char* p = append(text, "  0\r\nCIRCLE\r\n  8\r\nLayer_G01XYZ\r\n");
    p = appendPoint(p, kFirstPoint, h.r[0], h.r[1], h.r[2]);
    p = append(p, " 40\r\n");
    p = appendFixed(p, c.toolRadius);
    p = append(p, "\r\n 39\r\n");
    p = appendFixed(p, h.bottom[2] - h.r[2]);
    p = append(p, "\r\n");
    return sinkWriteRaw(sink, text, static_cast<size_t>(p - text));
}

bool writeDxfCycle(TextSink* sink, const MotionRecord& r) {
    for (int i = 0; i < holeCount(r.cycle); ++i) {
        if (!writeDxfHole(sink, r.cycle, cycleHole(r.cycle, i))) return false;
    }
    return true;
}

bool writeCsvPoint(TextSink* sink, double x, double y, double z) {
    char text[3 * kFixed6Max + 4];  // three numbers at their longest, two commas, CR LF
    char* p = appendFixed(text, x);
    *p++ = ',';
    p = appendFixed(p, y);
    *p++ = ',';
    p = appendFixed(p, z);
    p = append(p, "\r\n");
    return sinkWriteRaw(sink, text, static_cast<size_t>(p - text));
}

// An arc as a polyline from its start point. The segment count follows the
// size of the sweep whichever way it turns, so clockwise arcs get the same
// resolution as counter-clockwise ones.
bool writeCsvArc(TextSink* sink, const MotionRecord& r) {
    const MotionArc& a = r.arc;
    if (!(a.radius > kEpsilon)) return true;
    PlaneAxes ax = PlaneAxesOf(r.modeFlags);
    double sweep = static_cast<double>(a.angleTo) - a.angleFrom;
    if (r.gCode == 2) sweep = -sweep;
    int k = static_cast<int>(0.5 + 0.3 * std::fabs(sweep));
    k = k < 8 ? 8 : (k > 108 ? 108 : k);
    const double step = sweep * kRadiansPerDegree / k;
    const double c = std::cos(step), s = std::sin(step);
    double p[3] = {a.start[0], a.start[1], a.start[2]};
    const double rise = (static_cast<double>(a.end[ax.normal]) - a.start[ax.normal]) / k;
    if (!writeCsvPoint(sink, p[0], p[1], p[2])) return false;
    const double ca = a.centre[ax.first], cb = a.centre[ax.second];
    for (int i = 0; i < k; ++i) {
        const double da = p[ax.first] - ca, db = p[ax.second] - cb;
        p[ax.first] = ca + da * c - db * s;
        p[ax.second] = cb + da * s + db * c;
        p[ax.normal] += rise;
        if (!writeCsvPoint(sink, p[0], p[1], p[2])) return false;
    }
    return true;
}

bool writeCsvRecord(TextSink* sink, const MotionRecord& r) {
    switch (r.kind) {
    case kMotionLine:
        if (!differs(ncLoadPoint(r.line.start), ncLoadPoint(r.line.end))) return true;
        return writeCsvPoint(sink, r.line.end[0], r.line.end[1], r.line.end[2]);
    case kMotionArc: return writeCsvArc(sink, r);
    case kMotionCycle:
        for (int i = 0; i < holeCount(r.cycle); ++i) {
            Hole h = cycleHole(r.cycle, i);
            if (!writeCsvPoint(sink, h.r[0], h.r[1], h.start[2])) return false;
        }
        return true;
    default: return true;
    }
}

bool writeDxfRecord(TextSink* sink, const MotionRecord& r) {
    switch (r.kind) {
    case kMotionLine: return writeDxfStraight(sink, r);
    case kMotionArc: return writeDxfArc(sink, r);
    case kMotionCycle: return writeDxfCycle(sink, r);
    default: return true;
    }
}

}  // namespace

int DxfColorNumber(uint32_t color) {
    // Eight basic colours of the DXF palette, indexed by which of red,
    // green and blue are more than faint.
    static constexpr int kPalette[8] = {7, 1, 3, 2, 5, 6, 4, 7};
    int bits = ((color & 0xFF) > 15 ? 1 : 0) | (((color >> 8) & 0xFF) > 15 ? 2 : 0) |
               (((color >> 16) & 0xFF) > 15 ? 4 : 0);
    return kPalette[bits];
}

int WriteDxf(TextSink* sink, int phase, const MotionRecord* record, const DxfStyle* style) {
    if (sink == nullptr) return 0;
    switch (phase) {
    case kPhaseHeader: return style != nullptr && writeDxfHeader(sink, *style) ? 1 : 0;
    case kPhaseRecord: return record != nullptr && writeDxfRecord(sink, *record) ? 1 : 0;
    case kPhaseTrailer: return sinkWriteRaw(sink, "  0\r\nENDSEC\r\n  0\r\nEOF\r\n") ? 1 : 0;
    default: return 0;
    }
}

int WriteCsv(TextSink* sink, int phase, const MotionRecord* record) {
    if (sink == nullptr) return 0;
    if (phase != kPhaseRecord) return sink->failed ? 0 : 1;
    return record != nullptr && writeCsvRecord(sink, *record) ? 1 : 0;
}
