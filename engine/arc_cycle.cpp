// The geometric branches of the interpreter: the coordinate rotation G68,
// circular interpolation G02/G03 and the canned drilling cycles.
//
// Everything is stored in 32-bit floats, as the records are. Square roots
// and trigonometry are evaluated in double and rounded once when stored;
// where an angle is a multiple of 90 degrees the exact sine and cosine are
// used, so that quadrant points and right-angle rotations come out exact
// and do not depend on the platform's mathematics library.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/interpreter_detail.h"
#include "engine/modal_state.h"
#include "engine/notes.h"
#include "engine/status.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr float kTurnsPerDegree = 0.002777777777777778f;  // 1/360

// Cosine and sine of 0, 90, 180 and 270 degrees.
constexpr float kQuadrantCos[4] = {1.0f, 0.0f, -1.0f, 0.0f};
constexpr float kQuadrantSin[4] = {0.0f, 1.0f, 0.0f, -1.0f};

// Sine and cosine of an angle in degrees. The angle is split into a whole
// number of quarter turns and a remainder of at most 45 degrees; only the
// remainder goes through the library, so quarter turns are exact.
void sinCosDegrees(float degrees, float* s, float* c) {
    double d = degrees;
    if (!(std::fabs(d) < 1e9)) {
        *s = static_cast<float>(std::sin(d * kRadiansPerDegree));
        *c = static_cast<float>(std::cos(d * kRadiansPerDegree));
        return;
    }
    double quarters = std::nearbyint(d / 90.0);
    double rest = (d - quarters * 90.0) * kRadiansPerDegree;
    double rs = std::sin(rest), rc = std::cos(rest);
    int quadrant = static_cast<int>(static_cast<long long>(quarters) & 3);
    double sv[4] = {rs, rc, -rs, -rc}, cv[4] = {rc, -rs, -rc, rs};
    *s = static_cast<float>(sv[quadrant]);
    *c = static_cast<float>(cv[quadrant]);
}

// Counter-clockwise angle of (da, db) from the plane's first axis, degrees.
float angleOf(float da, float db) {
    return static_cast<float>(std::atan2(static_cast<double>(db), static_cast<double>(da)) *
                              kDegreesPerRadian);
}

// Brings an angle into [0, 360) by whole turns. The angles come from atan2
// and lie in [-180, 180]; a tiny negative one plus 360 rounds to 360 itself
// in float, which is the same direction as 0 and is stored as 0.
float normalizeDegrees(float angle) {
    int32_t turns = ncTruncate(angle * kTurnsPerDegree);
    if (angle < 0.0f) turns -= 1;
    angle -= 360.0f * static_cast<float>(turns);
    if (angle >= 360.0f) angle -= 360.0f;
    return angle == 0.0f ? 0.0f : angle;  // no negative zero
}

// The rotation plane (p, q) of the rotation flags.
void rotationAxes(uint16_t flags, int* p, int* q) {
    if (flags & kNcRotatePlaneZX) {
        *p = 2, *q = 0;
    } else if (flags & kNcRotatePlaneYZ) {
        *p = 1, *q = 2;
    } else {
        *p = 0, *q = 1;
    }
}

void rotate(const NcModalState* state, float point[3]) {
    int p, q;
    rotationAxes(state->rotationFlags, &p, &q);
    ncRotatePoint(&point[p], &point[q], state->rotationCentre[p], state->rotationCentre[q],
                  state->rotationAngle);
}

// With a plane named by I, J or K the program's coordinates are taken
// relative to the rotation centre: they are moved there, then turned.
void translateAndRotate(const NcModalState* state, float point[3]) {
    for (int k = 0; k < 3; ++k) point[k] += state->rotationCentre[k];
    rotate(state, point);
}

void widen(NcModalState* state, const NcMotionWork& work) {
    ncRangeWidenPair(state->pathMin, state->pathMax, work.boxMin, work.boxMax);
    ncRangeWidenPair(state->cutMin, state->cutMax, work.boxMin, work.boxMax);
}

// An R word makes the radius form: the centre lies on the perpendicular
// bisector of the chord from start to end, at the distance h from the
// chord's midpoint that makes both points lie on the circle of radius |R|,
//     h = sqrt(R*R - (chord/2)^2).
// Turning the chord direction phi by +90 degrees points to the left of the
// chord; G03 (counter-clockwise) with a positive R and G02 with a negative
// R put the centre there, the other two to the right. A positive R thus
// gives the arc of at most 180 degrees, a negative R the long one. The
// cosine and sine of phi are the chord's components over its length, so
// cos(phi +- 90) and sin(phi +- 90) need no trigonometry; a start equal to
// the end has phi = 0. An R shorter than half the chord has no circle: the
// absolute value under the root still gives a centre near the midpoint.
void radiusCentre(const NcMachineConfig* config, NcMotionWork* work, float* radius) {
    int a = work->a, b = work->b;
    float r = ncWordValue(work->block, work->words, 'R', config->itoF);
    float da = work->end[a] - work->start[a];
    float db = work->end[b] - work->start[b];
    float half = ncHypot(da, db) * 0.5f;
    float h = static_cast<float>(std::sqrt(std::fabs(static_cast<double>(r * r - half * half))));
    double chord = std::sqrt(static_cast<double>(da) * da + static_cast<double>(db) * db);
    double cosPhi = chord > 0.0 ? da / chord : 1.0;
    double sinPhi = chord > 0.0 ? db / chord : 0.0;
    bool left = (r >= 0.0f) != (work->motion == 2);
    float cosTheta = static_cast<float>(left ? -sinPhi : sinPhi);
    float sinTheta = static_cast<float>(left ? cosPhi : -cosPhi);
    work->centre[a] = (work->start[a] + work->end[a]) * 0.5f + h * cosTheta;
    work->centre[b] = (work->start[b] + work->end[b]) * 0.5f + h * sinTheta;
    work->centre[work->n] = work->end[work->n];
    *radius = std::fabs(r);
}

}  // namespace

int32_t ncRotatePoint(float* u, float* v, float cu, float cv, float angle) {
    if (u == nullptr || v == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncRotatePoint(args)", 0);
    }
    float s, c;
    sinCosDegrees(angle, &s, &c);
    float du = *u - cu, dv = *v - cv;
    *u = cu + du * c - dv * s;
    *v = cv + du * s + dv * c;
    return 1;
}

// G68 turns the program's coordinates about a centre. The centre is the
// position when G68 is read, with the axes the block names replaced (added
// to the position under G91); the angle is the R word. A positive I, J or
// K word names the plane by its normal axis (I: YZ, J: ZX, K: XY) and makes
// the coordinates relative to the centre; otherwise the current plane is
// turned.
void ncRotationDefine(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work) {
    static constexpr char kAxisLetters[] = {'X', 'Y', 'Z'};
    const NcBlockText* block = work->block;
    bool incremental = ncModalBit(state->gModal, 91);
    memcpy(state->rotationHome, state->position, sizeof state->rotationHome);
    memcpy(state->rotationCentre, state->position, sizeof state->rotationCentre);
    for (int k = 0; k < 3; ++k) {
        if (!work->words.has(kAxisLetters[k])) continue;
        float v =
            ncWordValue(block, work->words, kAxisLetters[k], config->itoF) * config->scaleXYZ[k];
        state->rotationCentre[k] = incremental ? state->position[k] + v : v;
    }
    state->rotationAngle = ncWordValue(block, work->words, 'R', config->itoF);
    if (ncWordValue(block, work->words, 'I', 0.0f) > 0.0f) {
        state->rotationFlags = kNcRotateByIjk | kNcRotatePlaneYZ;
    } else if (ncWordValue(block, work->words, 'J', 0.0f) > 0.0f) {
        state->rotationFlags = kNcRotateByIjk | kNcRotatePlaneZX;
    } else if (ncWordValue(block, work->words, 'K', 0.0f) > 0.0f) {
        state->rotationFlags = kNcRotateByIjk | kNcRotatePlaneXY;
    } else {
        const uint32_t* g = state->gModal;
        state->rotationFlags = ncModalBit(g, 18)   ? kNcRotatePlaneZX
                               : ncModalBit(g, 19) ? kNcRotatePlaneYZ
                                                   : kNcRotatePlaneXY;
    }
}

// Without I, J, K the rotation turns the drawn path about the centre. Until
// a G90 has been seen the centre stays the position where G68 was read (an
// incremental program turns about where it stood). The first block after
// G68 starts from the unrotated position the tool is at; every later block
// starts from the rotated end of the one before. The state keeps the
// unrotated program coordinates, so only the block's copies turn.
void ncRotationStep(NcModalState* state, NcMotionWork* work) {
    if (state->rotationFlags & kNcRotateByIjk) {
        translateAndRotate(state, work->start);
        translateAndRotate(state, work->end);
        translateAndRotate(state, work->centre);
        return;
    }
    if (ncModalBit(state->gModal, 90)) state->rotationFlags |= kNcRotateSeenG90;
    if (!(state->rotationFlags & kNcRotateSeenG90)) {
        memcpy(state->rotationCentre, state->rotationHome, sizeof state->rotationCentre);
    }
    if (state->rotationFlags & kNcRotateStarted) rotate(state, work->start);
    rotate(state, work->end);
    rotate(state, work->centre);
    state->rotationFlags |= kNcRotateStarted;
}

namespace {

// An end point off the circle is drawn where it is written, beside the
// point a control would reach, or would stop at with an alarm: say so when
// the two radii differ by more than rounding in the program's figures.

void noteEndOffCircle(NcModalState* state, const NcMotionWork& work, float radius) {
    const int a = work.a, b = work.b;
    const float endRadius =
        ncHypot(work.end[a] - work.centre[a], work.end[b] - work.centre[b]);
    if (!(std::fabs(endRadius - radius) > 0.002f + 0.001f * radius)) return;
    state->blockNotes |= ncNoteBit(kNcNoteArcRadius);
    state->noteRadii[0] = radius;
    state->noteRadii[1] = endRadius;
}

}  // namespace

// Arc angles are measured about the centre in the arc plane, from its first
// axis towards its second, and stored as the counter-clockwise sweep from
// angleFrom to angleTo: G03 sweeps from the start to the end point, G02
// (clockwise) is the same arc swept from the end to the start. Equal start
// and end angles make a full circle. The centre form takes the centre from
// I, J, K and the radius from the start point; an end point off that circle
// is drawn as given, not corrected.
void ncArcStep(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
               MotionRecord* record) {
    int a = work->a, b = work->b, n = work->n;
    bool clockwise = work->motion == 2;
    float radius;
    if (work->words.has('R')) {
        radiusCentre(config, work, &radius);
    } else {
        radius = ncHypot(work->centre[a] - work->start[a], work->centre[b] - work->start[b]);
    }
    const float* centre = work->centre;
    noteEndOffCircle(state, *work, radius);
    float startAngle = angleOf(work->start[a] - centre[a], work->start[b] - centre[b]);
    float endAngle = angleOf(work->end[a] - centre[a], work->end[b] - centre[b]);
    float from = normalizeDegrees(clockwise ? endAngle : startAngle);
    float to = normalizeDegrees(clockwise ? startAngle : endAngle);
    if (from >= to) to += 360.0f;

    record->kind = kMotionArc;
    record->modeFlags = work->modeFlags;
    record->gCode = static_cast<int16_t>(work->motion);
    ncStorePoint(record->arc.centre, work->centre);
    ncStorePoint(record->arc.start, work->start);
    ncStorePoint(record->arc.end, work->end);
    record->arc.radius = radius;
    record->arc.angleFrom = from;
    record->arc.angleTo = to;

    // The extent: both end points and every quadrant point (0, 90, 180, 270
    // degrees, shifted by a turn when the sweep starts beyond it) strictly
    // inside the sweep, at the middle height of a helix.
    const float* first = clockwise ? work->end : work->start;
    const float* last = clockwise ? work->start : work->end;
    ncRangeWiden(work->boxMin, work->boxMax, first);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        float t = 90.0f * static_cast<float>(quadrant);
        if (from > t) t += 360.0f;
        if (!(from < t && t < to)) continue;
        float point[3];
        point[a] = centre[a] + radius * kQuadrantCos[quadrant];
        point[b] = centre[b] + radius * kQuadrantSin[quadrant];
        point[n] = (work->start[n] + work->end[n]) * 0.5f;
        ncRangeWiden(work->boxMin, work->boxMax, point);
    }
    ncRangeWiden(work->boxMin, work->boxMax, last);
    widen(state, *work);

    // A helix climbs along the plane's normal while it turns: its length is
    // the hypotenuse of the unrolled arc and the rise.
    const double inPlane = (static_cast<double>(to) - from) * kRadiansPerDegree * radius;
    work->cutLen = std::hypot(inPlane, static_cast<double>(work->end[n]) - work->start[n]);
    if (work->feed > 0.0f) work->time = ncMoveSeconds(work->cutLen, work->feed);
}

// A canned cycle drills one hole per block with X, Y or Z while the cycle
// mode lasts, L holes when L is given: rapid from the position before the
// block over the hole and down to the R level, feed to the hole bottom,
// back up. Its Z (bottom) and R levels are modal: cycleBlock keeps them as
// absolute levels, replacing the words of the block that chose the cycle.
//
// Under G90 the words are the levels. Under G91 they are distances, as on
// Fanuc-style controls: R from the initial level (the tool's Z before the
// block) to the R level, Z from the R level to the bottom. A block without
// R keeps the R level already known, or drills from the initial level.
//
// Under G91 with L, X and Y are the spacing of the holes: the first hole is
// one step away and the tool ends over the last. After the cycle the tool
// is back at the initial level, for G98 and G99 alike.
void ncCycleStep(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
                 MotionRecord* record) {
    const NcBlockText* block = work->block;
    const NcWordIndex& words = work->words;
    bool incremental = ncModalBit(state->gModal, 91);
    float initial = state->previousPosition[2];
    float zScale = config->scaleXYZ[2];

    if (words.has('R')) {
        float r = ncWordValue(block, words, 'R', config->itoF) * zScale;
        ncAddrSetValue(&state->cycleBlock, 'R', incremental ? initial + r : r, 0);
    }
    float rLevel = 0.0f;
    if (ncAddrFind(&state->cycleBlock, 'R', 0.0f, &rLevel) < 0) rLevel = initial;
    if (words.has('Z')) {
        float z = ncWordValue(block, words, 'Z', config->itoF) * zScale;
        ncAddrSetValue(&state->cycleBlock, 'Z', incremental ? rLevel + z : z, 0);
    }

    int32_t repeat = 1;
    if (words.has('L')) {
        // The record holds the count in 16 bits.
        repeat = ncTruncate(ncWordValue(block, words, 'L', 0.0f));
        if (repeat > INT16_MAX) repeat = INT16_MAX;
    }
    float bottom = 0.0f;
    bool hasBottom = ncAddrFind(&state->cycleBlock, 'Z', 0.0f, &bottom) >= 0;
    if ((work->axisMask & (kAxisX | kAxisY | kAxisZ)) == 0 || !hasBottom || repeat < 1) {
        state->position[2] = state->previousPosition[2];
        return;
    }
    float stepX = 0.0f, stepY = 0.0f;
    if (words.has('L') && incremental) {
        stepX = ncWordValue(block, words, 'X', config->itoF);
        stepY = ncWordValue(block, words, 'Y', config->itoF);
    }

    float start[3], rPoint[3], hole[3];
    memcpy(start, state->previousPosition, sizeof start);
    rPoint[0] = hole[0] = state->position[0];
    rPoint[1] = hole[1] = state->position[1];
    rPoint[2] = rLevel;
    hole[2] = bottom;
    if (ncModalBit(state->gModal, 68)) {
        auto turn = state->rotationFlags & kNcRotateByIjk ? translateAndRotate : rotate;
        turn(state, start);
        turn(state, rPoint);
        turn(state, hole);
    }
    float toolRadius = config->toolRadius[work->toolNumber];
    record->kind = kMotionCycle;
    record->modeFlags = work->modeFlags;
    record->gCode = static_cast<int16_t>(work->motion);
    ncStorePoint(record->cycle.start, start);
    ncStorePoint(record->cycle.rPoint, rPoint);
    ncStorePoint(record->cycle.bottom, hole);
    record->cycle.toolRadius = toolRadius;
    record->cycle.repeatCount = static_cast<int16_t>(repeat);
    record->cycle.stepX = stepX;
    record->cycle.stepY = stepY;

    float lastStep = static_cast<float>(repeat - 1);
    state->position[0] += lastStep * stepX;
    state->position[1] += lastStep * stepY;

    ncRangeWiden(state->pathMin, state->pathMax, start);
    ncRangeWiden(state->pathMin, state->pathMax, rPoint);
    ncRangeWiden(state->pathMin, state->pathMax, hole);
    // The tool circle at every hole bottom. The holes lie on a line and
    // rounding is monotonic, so the first and the last hole bound them all
    // (one and the same for a single hole).
    const float ends[] = {0.0f, lastStep};
    for (int end = 0; end < (repeat > 1 ? 2 : 1); ++end) {
        const float i = ends[end];
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            float point[3] = {hole[0] + i * stepX + toolRadius * kQuadrantCos[quadrant],
                              hole[1] + i * stepY + toolRadius * kQuadrantSin[quadrant], hole[2]};
            ncRangeWiden(work->boxMin, work->boxMax, point);
        }
    }
    widen(state, *work);

    // Rapid approach to the R level at the machine's rapid feed, the hole
    // depth at the programmed feed, each once per hole; the cutting length
    // counts one hole's depth.
    const double holes = repeat;
    if (config->feedG00 > 0.0f) {
        double approach = std::hypot(static_cast<double>(rPoint[0]) - start[0],
                                     static_cast<double>(rPoint[1]) - start[1]) +
                          std::fabs(static_cast<double>(rPoint[2]) - start[2]);
        work->time = holes * ncMoveSeconds(approach, config->feedG00);
    }
    work->cutLen = std::fabs(static_cast<double>(hole[2]) - rPoint[2]);
    if (work->feed > 0.0f) work->time += holes * ncMoveSeconds(work->cutLen, work->feed);
    uint32_t key =
        static_cast<uint32_t>(repeat & 0xFFFF) << 16 | static_cast<uint32_t>(work->motion & 0xFFFF);
    work->cycleKey = static_cast<int32_t>(key);
    state->position[2] = state->previousPosition[2];
}
