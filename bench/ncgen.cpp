// Writes a deterministic Fanuc-style NC program of about N blocks for
// benchmarks: rapid and cutting moves, arcs in centre and radius form,
// incremental stretches, drilling cycles, tool changes, comments and a
// subprogram called with a repeat count.
//
//   ncgen N [--plain] > program.nc
//
// --plain writes the dialect other back-plotters read as well: decimal
// points on every value, no O numbers and no subprogram calls.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Generator {
    bool plain;
    uint64_t seed = 0x9E3779B97F4A7C15ULL;
    long blocks = 0;
    double x = 0, y = 0;
    int tool = 0;

    uint32_t next() {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(seed >> 33);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() % 100000) / 100000.0; }

    void line(const char* text) {
        fputs(text, stdout);
        fputs("\r\n", stdout);
        ++blocks;
    }

    // An axis value: mostly with a decimal point; in the full dialect every
    // fifth one in least-input increments (microns) without a point.
    void value(char* out, size_t size, char letter, double v) {
        if (!plain && next() % 5 == 0) {
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
        x = nx;
        y = ny;
    }

    // A quarter arc that starts at the current point, turning either way.
    void arc(bool radiusForm) {
        const double r = uniform(2, 15);
        const bool ccw = next() % 2 == 0;
        const double cx = x + r, cy = y;  // centre to the right of the point
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
        x = ex;
        y = ey;
    }

    void toolChange() {
        tool = tool % 8 + 1;
        char text[64];
        snprintf(text, sizeof text, "T%d M06", tool);
        line(text);
        snprintf(text, sizeof text, "G00 X%.3f Y%.3f S%d M03", x, y, 1000 + 500 * tool);
        line(text);
        snprintf(text, sizeof text, "G43 Z50. H%d", tool);
        line(text);
    }

    void pocket() {
        line("(POCKET)");
        move("G00", uniform(0, 200), uniform(0, 150));
        line("G01 Z-2. F300.");
        for (int i = 0; i < 6; ++i) move("G01", uniform(0, 200), uniform(0, 150));
        arc(false);
        arc(true);
        line("G91 G01 X5. Y0.");
        line("X0. Y5.");
        line("X-5. Y0.");
        line("G90");
        x += 0;
        y += 5;
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

    void run(long target) {
        if (!plain) line("%");
        if (!plain) line("O1000(BENCHMARK PROGRAM)");
        line("G90 G17 G21 G40 G49 G80");
        int chunk = 0;
        while (blocks < target - 12) {
            if (chunk % 4 == 0) toolChange();
            pocket();
            drilling();
            if (!plain && chunk % 3 == 0) line("M98 P9000 L2");
            ++chunk;
        }
        line("G00 Z100.");
        line("M30");
        if (plain) return;
        line("O9000(SUBPROGRAM)");
        line("G91 G01 X1. F200.");
        line("Y1.");
        line("G90");
        line("M99");
        line("%");
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs("usage: ncgen N [--plain]\n", stderr);
        return 2;
    }
    long n = strtol(argv[1], nullptr, 10);
    if (n < 20) n = 20;
    Generator g;
    g.plain = argc > 2 && strcmp(argv[2], "--plain") == 0;
    g.run(n);
    return 0;
}
