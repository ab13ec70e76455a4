// A deterministic generator of Fanuc-style NC programs for the benchmarks:
// rapid and cutting moves, values with and without decimal points, arcs in
// centre and radius form, incremental stretches, drilling cycles, tool
// changes, comments and a subprogram called with a repeat count. The same
// seed always gives the same bytes, so runs on different days compare.
//
// The plain dialect is the one other back-plotters read as well: decimal
// points on every value, no O numbers and no subprogram calls.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

struct NcGenerated {
    long lines = 0;     // lines written, the blocks a loader reads
    long executed = 0;  // blocks a translation executes, calls unrolled
};

class NcGenerator {
public:
    // out receives each line without its terminator; the generator adds
    // CR LF, the usual terminator of files from CAM systems.
    using Sink = void (*)(void* context, const char* text, size_t length);

    NcGenerator(bool plain, Sink sink, void* context)
        : plain_(plain), sink_(sink), context_(context) {}

    NcGenerated run(long target) {
        if (!plain_) line("%", false);
        if (!plain_) line("O1000(BENCHMARK PROGRAM)");
        line("G90 G17 G21 G40 G49 G80");
        long calls = 0;
        for (int chunk = 0; counts_.lines < target - 12; ++chunk) {
            if (chunk % 4 == 0) toolChange();
            pocket();
            drilling();
            if (!plain_ && chunk % 3 == 0) {
                line("M98 P9000 L2");
                ++calls;
            }
        }
        line("G00 Z100.");
        line("M30");
        if (!plain_) {
            // The subprogram's five blocks (its O line included) run twice per call.
            counts_.executed += calls * 2 * 5;
            line("O9000(SUBPROGRAM)", false);
            line("G91 G01 X1. F200.", false);
            line("Y1.", false);
            line("G90", false);
            line("M99", false);
            line("%", false);
        }
        return counts_;
    }

private:
    bool plain_;
    Sink sink_;
    void* context_;
    NcGenerated counts_;
    uint64_t seed_ = 0x9E3779B97F4A7C15ULL;
    double x_ = 0, y_ = 0;
    int tool_ = 0;

    uint32_t next() {
        seed_ = seed_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(seed_ >> 33);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() % 100000) / 100000.0; }

    // mainProgram: the line belongs to the program that runs from start to
    // M30, so the translation executes it once.
    void line(const char* text, bool mainProgram = true) {
        size_t n = strlen(text);
        char buffer[160];
        memcpy(buffer, text, n);
        buffer[n] = '\r';
        buffer[n + 1] = '\n';
        sink_(context_, buffer, n + 2);
        ++counts_.lines;
        if (mainProgram) ++counts_.executed;
    }

    // An axis value: mostly with a decimal point; in the full dialect every
    // fifth one in least-input increments (microns) without a point.
    void value(char* out, size_t size, char letter, double v) {
        if (!plain_ && next() % 5 == 0) {
            snprintf(out, size, "%c%ld", letter, std::lround(v * 1000));
        } else {
            snprintf(out, size, "%c%.3f", letter, v);
        }
    }

    void move(const char* g, double nx, double ny) {
        char xs[32], ys[32], text[128];
        value(xs, sizeof xs, 'X', nx);
        value(ys, sizeof ys, 'Y', ny);
        snprintf(text, sizeof text, "%s %s %s", g, xs, ys);
        line(text);
        x_ = nx;
        y_ = ny;
    }

    // A quarter arc that starts at the current point, turning either way.
    void arc(bool radiusForm) {
        const double r = uniform(2, 15);
        const bool ccw = next() % 2 == 0;
        const double cx = x_ + r, cy = y_;  // centre to the right of the point
        const double ex = cx, ey = ccw ? cy - r : cy + r;
        char text[160], xs[32], ys[32];
        value(xs, sizeof xs, 'X', ex);
        value(ys, sizeof ys, 'Y', ey);
        if (radiusForm) {
            snprintf(text, sizeof text, "%s %s %s R%.3f", ccw ? "G03" : "G02", xs, ys, r);
        } else {
            snprintf(text, sizeof text, "%s %s %s I%.3f J0.", ccw ? "G03" : "G02", xs, ys, r);
        }
        line(text);
        x_ = ex;
        y_ = ey;
    }

    void toolChange() {
        tool_ = tool_ % 8 + 1;
        char text[64];
        snprintf(text, sizeof text, "T%d M06", tool_);
        line(text);
        snprintf(text, sizeof text, "G00 X%.3f Y%.3f S%d M03", x_, y_, 1000 + 500 * tool_);
        line(text);
        snprintf(text, sizeof text, "G43 Z50. H%d", tool_);
        line(text);
    }

    void pocket() {
        line("(POCKET)");
        move("G00", uniform(0, 200), uniform(0, 150));
        line("G01 Z-2. F300.");
        for (int i = 0; i < 6; ++i) move("G01", uniform(0, 200), uniform(0, 150));
        arc(false);
        arc(true);
        // A small incremental square; absolute programming resumes after it.
        line("G91 G01 X5. Y0.");
        line("X0. Y5.");
        line("X-5. Y0.");
        line("G90");
        y_ += 5;
        line("G00 Z50.");
    }

    void drilling() {
        char text[128];
        snprintf(text, sizeof text, "G99 G81 X%.3f Y%.3f Z-10. R2. F120.", uniform(0, 200),
                 uniform(0, 150));
        line(text);
        for (int i = 0; i < 3; ++i) {
            snprintf(text, sizeof text, "X%.3f Y%.3f", uniform(0, 200), uniform(0, 150));
            line(text);
        }
        line("G80");
    }
};

// The whole program as one string.
inline std::string ncGenerate(long target, bool plain, NcGenerated* counts = nullptr) {
    std::string text;
    NcGenerator g(
        plain, [](void* c, const char* s, size_t n) { static_cast<std::string*>(c)->append(s, n); },
        &text);
    NcGenerated done = g.run(target);
    if (counts != nullptr) *counts = done;
    return text;
}
