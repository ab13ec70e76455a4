// A machine for the interpreter's tests: a configuration, a modal state
// reset to the usual start codes, blocks run from text lines, and records
// and statistics written out as short texts (four decimals) to compare.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "engine/block_text.h"
#include "engine/machine_config.h"
#include "engine/modal_state.h"
#include "engine/motion_record.h"

// G00, G17, G40, G49, G67, G80, G90, G98: the codes a machine starts with.
inline const uint32_t* startCodes() {
    static uint32_t codes[4] = {};
    for (int g : {0, 17, 40, 49, 67, 80, 90, 98}) codes[g >> 5] |= 1u << (g & 31);
    return codes;
}

struct TestMachine {
    NcMachineConfig config{};
    std::unique_ptr<NcModalState> state = std::make_unique<NcModalState>();

    // Scale 1, integers in microns, rapids at 6000 mm/min (100 mm/s), and
    // tool T of radius T/2 mm.
    TestMachine() {
        for (int k = 0; k < 3; ++k) config.scaleXYZ[k] = config.scaleIJK[k] = 1.0f;
        config.itoF = 0.001f;
        config.feedG00 = 6000.0f;
        for (int t = 0; t < kNcToolCount; ++t) config.toolRadius[t] = 0.5f * static_cast<float>(t);
        EXPECT_EQ(ncModalReset(state.get(), startCodes()), 1);
    }
    // Runs the lines and returns the last record.
    MotionRecord run(std::initializer_list<const char*> lines) {
        MotionRecord record{};
        for (const char* line : lines) {
            NcBlockText block;
            ncAddrAnalysis(&block, line);
            EXPECT_EQ(ncModalUpdate(&config, state.get(), &block, &record), 1) << line;
        }
        return record;
    }
    MotionRecord run(const char* line) { return run({line}); }
    bool g(int code) const { return ncModalBit(state->gModal, code); }
    bool m(int code) const { return ncModalBit(state->mModal, code); }
    const NcToolStats& tool(int t) const { return state->tools[t]; }
};

// Joins texts by appending only (GCC 12 at -O3 misreads a literal put in
// front of a std::string as an overlapping copy).
template <class... Parts>
std::string cat(const Parts&... parts) {
    std::string out;
    (out += ... += parts);
    return out;
}

inline std::string num(double v) {
    char text[48];
    snprintf(text, sizeof text, "%.4f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

// A point of a packed record is copied out whole before it is read.
inline std::string point(const float* field) {
    const Point3 p = ncLoadPoint(field);
    return cat("(", num(p.v[0]), ",", num(p.v[1]), ",", num(p.v[2]), ")");
}

inline std::string range(const float* min, const float* max) {
    return cat(point(min), "-", point(max));
}

// "G1 m3 (0,0,0)>(30,40,0)" for a straight move with axis mask 3; arcs give
// centre, start>end, radius and angleFrom:angleTo; cycles start, R point,
// bottom, tool radius, holes and step; a preset its position. Mode flags
// other than plain G17 follow as "/41" (hex).
inline std::string describe(const MotionRecord& r) {
    std::string out = r.kind == kMotionNone ? "none" : cat("G", std::to_string(r.gCode));
    if (r.kind != kMotionNone && r.modeFlags != kModePlaneXY) {
        char flags[8];
        snprintf(flags, sizeof flags, "/%x", static_cast<unsigned>(r.modeFlags));
        out += flags;
    }
    switch (r.kind) {
        case kMotionPreset: return cat(out, " ", point(r.preset.position));
        case kMotionLine:
            return cat(out, " m", std::to_string(r.line.axisMask), " ", point(r.line.start), ">",
                       point(r.line.end));
        case kMotionArc:
            return cat(out, " c", point(r.arc.centre), " ", point(r.arc.start), ">",
                       point(r.arc.end), " r", num(r.arc.radius), " ", num(r.arc.angleFrom), ":",
                       num(r.arc.angleTo));
        case kMotionCycle:
            return cat(out, " ", point(r.cycle.start), " r", point(r.cycle.rPoint), " b",
                       point(r.cycle.bottom), " t", num(r.cycle.toolRadius), " L",
                       std::to_string(r.cycle.repeatCount), " s", num(r.cycle.stepX), ",",
                       num(r.cycle.stepY));
        default: return out;
    }
}

inline std::string list(const int32_t* values, bool cycles = false) {
    std::string out = "[";
    for (int i = 0; i < kNcListSize && values[i] != 0; ++i) {
        if (i > 0) out += ",";
        out += cycles
                   ? cat(std::to_string(values[i] & 0xFFFF), "x", std::to_string(values[i] >> 16))
                   : std::to_string(values[i]);
    }
    return out += "]";
}

// "n1 cut 7 time 4.8214 D[] H[] F[100] S[] C[81x2]": changes, length,
// time, the value lists and the cycles with their hole counts.
inline std::string describe(const NcToolStats& t) {
    return cat("n", std::to_string(t.changeCount), " cut ", num(t.cutLength), " time ",
               num(t.machiningTime), " D", list(t.dList), " H", list(t.hList), " F", list(t.fList),
               " S", list(t.sList), " C", list(t.cycleList, true));
}
