// One fixed program translated into records that every build must produce:
// exact values where the arithmetic is exact, and within one unit in the
// last place of a float where the mathematics library is involved. The
// expected values come from the geometry of the program.
#include <gtest/gtest.h>

#include <cmath>

#include <cstring>
#include <iterator>
#include <vector>

#include "engine/status.h"
#include "engine/translate.h"
#include "interpreter_test_support.h"

namespace {

const char* const kProgram[] = {
    "O1234 (RECORDS)",
    "T2 M06",
    "G43 H1 G00 X10. Y5. Z20.",
    "G01 Z-2.5 F300",
    "G03 X0 Y15. I-10. J0",  // quarter circle about (0, 5)
    "G02 X6. Y15. R5.",      // chord 6, radius 5: the centre 4 below the chord
    "G00 Z10.",
    "G81 X20. Y15. Z-5. R1. F200",
    "G91 X5. L2",
    "G80 G90",
    "G92 X0 Y0",
    "G68 X0 Y0 R90.",
    "G01 X10. Y0 Z10.",  // turned a quarter about the origin
    "X10. Y5.",
    "G69",
    "G03 X0 Y15. Z5. I-10. J0",  // helical quarter circle
    "G18 G02 X10. I5. K0",
    "M30",
};

// Where the floats of each record type lie (first byte, count); the other
// bytes must be equal.
struct FloatSpan {
    int first, count;
};
constexpr FloatSpan kFloatSpans[5][2] = {
    {{0, 0}, {0, 0}}, {{8, 3}, {0, 0}}, {{10, 6}, {0, 0}}, {{8, 12}, {0, 0}}, {{8, 10}, {50, 2}},
};

// A record as its header, the line's axis mask or the cycle's hole count,
// and its floats in layout order.
struct Expected {
    uint8_t kind, flags;
    int16_t gCode, tool;
    uint16_t maskOrHoles;
    double f[12];
};

MotionRecord build(const Expected& e) {
    MotionRecord r;
    memset(&r, 0, sizeof r);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&r);
    r.kind = e.kind;
    r.modeFlags = e.flags;
    r.gCode = e.gCode;
    r.programNumber = 1234;
    r.toolNumber = e.tool;
    if (e.kind == kMotionLine) r.line.axisMask = e.maskOrHoles;
    if (e.kind == kMotionCycle) r.cycle.repeatCount = static_cast<int16_t>(e.maskOrHoles);
    int next = 0;
    for (const FloatSpan& span : kFloatSpans[e.kind]) {
        for (int i = 0; i < span.count; ++i) {
            float v = static_cast<float>(e.f[next++]);
            memcpy(bytes + span.first + 4 * i, &v, sizeof v);
        }
    }
    return r;
}

// Distance in units in the last place, both zeros alike.
int64_t ulpDistance(float a, float b) {
    auto ordered = [](float f) {
        int32_t bits;
        memcpy(&bits, &f, sizeof bits);
        return bits < 0 ? -static_cast<int64_t>(bits & 0x7FFFFFFF) : static_cast<int64_t>(bits);
    };
    int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

void expectRecord(const MotionRecord& actual, const MotionRecord& expected) {
    unsigned char a[sizeof actual], e[sizeof expected];
    memcpy(a, &actual, sizeof a);
    memcpy(e, &expected, sizeof e);
    bool isFloat[sizeof a] = {};
    for (const FloatSpan& span : kFloatSpans[e[0]]) {
        for (int at = span.first; at < span.first + 4 * span.count; at += 4) {
            float fa, fe;
            memcpy(&fa, a + at, sizeof fa);
            memcpy(&fe, e + at, sizeof fe);
            EXPECT_LE(ulpDistance(fa, fe), 1)
                << "float at byte " << at << ": " << fa << " vs " << fe;
            for (int i = at; i < at + 4; ++i) isFloat[i] = true;
        }
    }
    for (size_t i = 0; i < sizeof a; ++i) {
        if (isFloat[i]) continue;
        EXPECT_EQ(a[i], e[i]) << "byte " << i;
    }
}

std::vector<MotionRecord> collected;

int collect(const NcProgressEvent* event) {
    if (ncEventPhase(event->event) == kNcPhaseStep) collected.push_back(*event->motion);
    return 1;
}

TEST(TranslateRecords, FixedProgramGivesTheSameRecordsOnEveryBuild) {
    NcBlockStore* store = ncBlockCreate();
    ASSERT_NE(store, nullptr);
    for (const char* text : kProgram) {
        NcBlockText block;
        ncAddrAnalysis(&block, text);
        ASSERT_EQ(ncBlockAppend(store, nullptr, 1234, &block), 1);
    }
    ncBlockMemoryMap(store);
    TestMachine machine;
    machine.state->callStack[0].programNumber = 1234;
    collected.clear();
    ncStatus(NcStatusNone, "");
    EXPECT_EQ(ncBlockTranslate(store, &machine.config, machine.state.get(), collect), 1);
    ncBlockDestroy(store);

    constexpr uint8_t F = kModePlaneXY | kModeG43, N = kMotionNone, L = kMotionLine, A = kMotionArc,
                      C = kMotionCycle;
    const double small = 53.13010235415598;  // atan2(4, 3) in degrees
    const Expected expected[] = {
        {N, 0, 0, 0, 0, {}},
        {N, 0, 0, 2, 0, {}},
        {L, F, 0, 2, kAxisX | kAxisY | kAxisZ, {0, 0, 0, 10, 5, 20}},
        {L, F, 1, 2, kAxisZ, {10, 5, 20, 10, 5, -2.5}},
        {A, F, 3, 2, 0, {0, 5, -2.5, 10, 5, -2.5, 0, 15, -2.5, 10, 0, 90}},
        {A, F, 2, 2, 0, {3, 11, -2.5, 0, 15, -2.5, 6, 15, -2.5, 5, small, 180 - small}},
        {L, F, 0, 2, kAxisZ, {6, 15, -2.5, 6, 15, 10}},
        {C, F, 81, 2, 1, {6, 15, 10, 20, 15, 1, 20, 15, -5, 1, 0, 0}},
        {C, F, 81, 2, 2, {20, 15, 10, 25, 15, 1, 25, 15, -5, 1, 5, 0}},
        {N, 0, 0, 2, 0, {}},
        {kMotionPreset, F, 92, 2, 0, {0, 0, 10}},
        {N, 0, 0, 2, 0, {}},
        {L, F, 1, 2, kAxisX | kAxisY | kAxisZ, {0, 0, 10, 0, 10, 10}},
        {L, F, 1, 2, kAxisX | kAxisY, {0, 10, 10, -5, 10, 10}},
        {N, 0, 0, 2, 0, {}},
        {A, F, 3, 2, 0, {0, 5, 10, 10, 5, 10, 0, 15, 5, 10, 0, 90}},
        {A, kModePlaneZX | kModeG43, 2, 2, 0, {5, 15, 5, 0, 15, 5, 10, 15, 5, 5, 90, 270}},
        {N, 0, 0, 2, 0, {}},
    };
    ASSERT_EQ(collected.size(), std::size(expected));
    for (size_t i = 0; i < collected.size(); ++i) {
        SCOPED_TRACE(kProgram[i]);
        expectRecord(collected[i], build(expected[i]));
    }
    // T2 cut 22.5, 10 and 5 mm straight, two cycle blocks of 6 mm depth,
    // two arcs 5 pi long, a helix of 5 pi turning and 5 rising, and 73.74
    // degrees of radius 5.
    const double pi = 3.14159265358979323846;
    const double arcs = 10 * pi + std::hypot(5 * pi, 5.0) + (180 - 2 * small) / 360 * 2 * pi * 5;
    EXPECT_NEAR(machine.tool(2).cutLength, 22.5 + 10 + 5 + 12 + arcs, 1e-4);
    EXPECT_EQ(list(machine.tool(2).cycleList, true) + list(machine.tool(2).hList), "[81x3][1]");
}

}  // namespace
