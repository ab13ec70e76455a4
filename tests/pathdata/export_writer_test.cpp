#include "pathdata/export_writer.h"

#include "platform/platform.h"
#include "tests/motion_records.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string withoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Writes records through one writer into a temporary file and returns the
// file's text with CR LF turned back into LF (after checking every LF had
// its CR).
class Export : public ::testing::Test {
protected:
    std::string run(bool dxf, std::initializer_list<MotionRecord> records) {
        auto* sink = new TextSink;
        EXPECT_TRUE(sinkOpen(sink, file.path));
        auto write = [&](int phase, const MotionRecord* r) {
            return dxf ? WriteDxf(sink, phase, r, &style) : WriteCsv(sink, phase, r);
        };
        EXPECT_EQ(write(kPhaseHeader, nullptr), 1);
        for (const MotionRecord& r : records) EXPECT_EQ(write(kPhaseRecord, &r), 1);
        EXPECT_EQ(write(kPhaseTrailer, nullptr), 1);
        EXPECT_TRUE(sinkClose(sink));
        delete sink;
        std::string raw = file.read();
        EXPECT_EQ(count(raw, "\n"), count(raw, "\r\n"));
        std::string text = withoutCr(raw);
        return dxf ? entities(text) : text;
    }

    // The entity section of a DXF text.
    static std::string entities(const std::string& text) {
        size_t from = text.find("ENTITIES\n");
        size_t to = text.rfind("  0\nENDSEC\n");
        if (from == std::string::npos || to == std::string::npos) return "<no entities>";
        return text.substr(from + 9, to - from - 9);
    }

    TempFile file;
    DxfStyle style = {{-10, -10, -5}, {110, 60, 55}, {0x00FFFF, 0x0000FF, 0x00FF00, 0xFF00FF}, 0xF0};
};

MotionRecord drillThreeHoles() {
    MotionRecord r = {};
    r.kind = kMotionCycle;
    r.gCode = 81;
    r.modeFlags = kModePlaneXY;
    const float start[3] = {0, 0, 50}, rp[3] = {10, 10, 2}, bottom[3] = {10, 10, -12};
    memcpy(r.cycle.start, start, sizeof start);
    memcpy(r.cycle.rPoint, rp, sizeof rp);
    memcpy(r.cycle.bottom, bottom, sizeof bottom);
    r.cycle.toolRadius = 3.4f;
    r.cycle.repeatCount = 3;
    r.cycle.stepX = 20;
    return r;
}

// What FormatFixed6 gives for v besides printf's "%lf", or "" when both agree
// in text and length.
std::string printfMismatch(double v) {
    char want[400], got[kFixed6Max];
    snprintf(want, sizeof want, "%lf", v);
    const size_t length = FormatFixed6(v, got);
    return length == strlen(want) && strcmp(got, want) == 0 ? "" : std::string(got) + " / " + want;
}

TEST(FormatFixed, MatchesPrintfForFloatsAndDoubles) {
    for (double v : {0.0, -0.0, 1.0, -1.5, 0.0078125 /* tie: rounds to even */, -0.0078125, 1e-9,
                     -1e-9, 123456.789, 1e10, -3e12, 1e20, 0.1, 2.0 / 3.0, 16777217.0, 0.0000005,
                     3.4e38, -1e49}) {
        EXPECT_EQ(printfMismatch(v), "");
    }
    char got[kFixed6Max];
    FormatFixed6(1e300, got);
    EXPECT_STREQ(got, "1.000000e+300");
    // Floats from any bits and from the range of coordinates, some divided
    // by three; and computed doubles, as arc points are: products with 10^6
    // are then inexact, and values near a rounding half must still round as
    // printf rounds them.
    std::mt19937_64 rng(777);
    for (int i = 0; i < 100000; ++i) {
        const uint64_t bits = rng();
        const double micro = static_cast<int32_t>(bits >> 32) % 1000000000;
        double v = i % 2 ? (micro + 0.5) / 1e6 : static_cast<double>(bits >> 11) * 0x1p-42 - 1000;
        float f = static_cast<float>(v);
        if (i % 4 == 0) memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f) && std::fabs(f) <= 1e30f) {
            ASSERT_EQ(printfMismatch(i % 3 == 0 ? static_cast<double>(f) / 3.0 : f), "") << i;
        }
        if (i % 7 == 0) v = std::nextafter(v, i % 3 == 0 ? INFINITY : -INFINITY);
        ASSERT_EQ(printfMismatch(v), "") << i;
    }
}

TEST_F(Export, DxfHeaderAndLayerTable) {
    style.displayMask = 0xE0;  // the rapid layer is hidden
    run(true, {});
    std::string text = withoutCr(file.read());
    const std::string head =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n"
        "  9\n$EXTMIN\n 10\n-10.000000\n 20\n-10.000000\n 30\n-5.000000\n"
        "  9\n$EXTMAX\n 10\n110.000000\n 20\n60.000000\n 30\n55.000000\n  0\nENDSEC\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    // Yellow hidden rapid layer: -2; red 1, green 3, magenta 6.
    for (const char* part :
         {"  3\nDot ...........................................\n 72\n 65\n",
          "  2\nLAYER\n 70\n 16\n", "  2\nLayer_G00\n 70\n  0\n 62\n -2\n  6\nDOT\n",
          "  2\nLayer_G01XYZ\n 70\n  0\n 62\n  1\n  6\nCONTINUOUS\n",
          "  2\nLayer_G01Z\n 70\n  0\n 62\n  3\n", "  2\nLayer_G01D\n 70\n  0\n 62\n  6\n"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    const std::string tail = "ENTITIES\n  0\nENDSEC\n  0\nEOF\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(Export, DxfStraightMovesGoToTheirLayers) {
    const struct {
        MotionRecord record;
        const char* layer;  // null: nothing written
    } cases[] = {
        {lineRecord(0, kModeG41, 7, {0, 0, 0}, {1, 2, 3}), "Layer_G00"},
        {lineRecord(28, 0, 4, {0, 0, 0}, {0, 0, 3}), "Layer_G00"},
        {lineRecord(1, kModeG42, 4, {0, 0, 0}, {0, 0, 3}), "Layer_G01D"},
        {lineRecord(1, 0, 4, {0, 0, 0}, {0, 0, -3}), "Layer_G01Z"},
        {lineRecord(1, 0, 5, {0, 0, 0}, {1, 0, -3}), "Layer_G01XYZ"},
        {lineRecord(1, 0, 1, {5, 5, 5}, {5.0000005f, 5, 5}), nullptr},
    };
    for (const auto& c : cases) {
        std::string text = run(true, {c.record});
        if (c.layer == nullptr) {
            EXPECT_EQ(text, "");
        } else {
            EXPECT_EQ(text.substr(0, 13 + strlen(c.layer)), std::string("  0\nLINE\n  8\n") + c.layer);
        }
    }
    EXPECT_EQ(run(true, {lineRecord(1, 0, 3, {1, 2, 3}, {4, 5, 6})}),
              "  0\nLINE\n  8\nLayer_G01XYZ\n 10\n1.000000\n 20\n2.000000\n 30\n3.000000\n"
              " 11\n4.000000\n 21\n5.000000\n 31\n6.000000\n");
}

TEST_F(Export, DxfArcInG18WritesCentreInPlaneOrderAndExtrusion) {
    MotionRecord r = arcRecord(3, kModePlaneZX, {1, 2, 3}, 5, {1, 2, 8}, {6, 2, 3}, 0, 90);
    EXPECT_EQ(run(true, {r}),
              "  0\nARC\n  8\nLayer_G01XYZ\n 10\n3.000000\n 20\n1.000000\n 30\n2.000000\n"
              " 40\n5.000000\n 50\n0.000000\n 51\n90.000000\n"
              "210\n0.000000\n220\n1.000000\n230\n0.000000\n");
    r.modeFlags = kModePlaneYZ | kModeG41;
    std::string text = run(true, {r});
    EXPECT_EQ(count(text, "Layer_G01D"), 1);
    EXPECT_NE(text.find(" 10\n2.000000\n 20\n3.000000\n 30\n1.000000\n"), std::string::npos);
    EXPECT_NE(text.find("210\n1.000000\n220\n0.000000\n230\n0.000000\n"), std::string::npos);
    r.arc.radius = 0;
    EXPECT_EQ(run(true, {r}), "");
}

TEST_F(Export, DxfCycleWritesEveryHole) {
    std::string text = run(true, {drillThreeHoles()});
    EXPECT_EQ(count(text, "  0\nLINE\n"), 9);
    EXPECT_EQ(count(text, "  0\nCIRCLE\n"), 3);
    EXPECT_EQ(count(text, "Layer_G00"), 6);
    EXPECT_EQ(count(text, "Layer_G01Z"), 3);
    // Third hole: 40 mm along X, feed from R level to the bottom, thickness -14.
    EXPECT_NE(text.find(" 10\n50.000000\n 20\n10.000000\n 30\n2.000000\n 11\n50.000000\n"
                        " 21\n10.000000\n 31\n-12.000000\n"),
              std::string::npos);
    EXPECT_NE(text.find(" 40\n3.400000\n 39\n-14.000000\n"), std::string::npos);
}

TEST_F(Export, CsvPointCounts) {
    const struct {
        MotionRecord record;
        int lines;
    } cases[] = {
        {arcRecord(3, kModePlaneXY, {0, 0, 0}, 10, {10, 0, 0}, {10, 0, 0}, 0, 360), 109},
        // Clockwise arcs get the same resolution as counter-clockwise ones.
        {arcRecord(2, kModePlaneXY, {0, 0, 0}, 10, {10, 0, 0}, {10, 0, 0}, 0, 360), 109},
        {arcRecord(3, kModePlaneXY, {0, 0, 0}, 10, {10, 0, 0}, {0, 10, 0}, 0, 90), 28},
        {arcRecord(3, kModePlaneXY, {0, 0, 0}, 10, {10, 0, 0}, {9.98f, 0.6f, 0}, 0, 3), 9},
        {lineRecord(1, 0, 1, {1, 1, 1}, {1, 1, 1}), 0},
        {lineRecord(1, 0, 1, {1, 1, 1}, {2, 1, 1}), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(count(run(false, {c.record}), "\n"), c.lines);
}

TEST_F(Export, CsvPointOfTheLargestFloatsIsWrittenWhole) {
    const float big = -3.4e38f;
    char expected[512];
    snprintf(expected, sizeof expected, "%lf,%lf,%lf\n", double{big}, double{big}, double{big});
    EXPECT_EQ(run(false, {lineRecord(1, 0, 7, {0, 0, 0}, {big, big, big})}), expected);
}

TEST_F(Export, CsvArcEndsOnItsEndPointAndTurnsTheRightWay) {
    // A quarter turn clockwise in XY from (10,0) to (0,-10), rising 4 in Z.
    MotionRecord r = arcRecord(2, kModePlaneXY, {0, 0, 0}, 10, {10, 0, 0}, {0, -10, 4}, 270, 360);
    std::string text = run(false, {r});
    EXPECT_EQ(text.substr(0, 28), "10.000000,0.000000,0.000000\n");
    size_t last = text.rfind('\n', text.size() - 2);
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(sscanf(text.c_str() + last + 1, "%lf,%lf,%lf", &x, &y, &z), 3);
    EXPECT_NEAR(x, 0, 1e-5);
    EXPECT_NEAR(y, -10, 1e-5);
    EXPECT_NEAR(z, 4, 1e-5);
    // The second point lies below the X axis: clockwise.
    double y1 = 0;
    ASSERT_EQ(sscanf(text.c_str() + text.find('\n') + 1, "%*f,%lf", &y1), 1);
    EXPECT_LT(y1, 0);
}

TEST_F(Export, CsvCycleHolesAtStartLevel) {
    EXPECT_EQ(run(false, {drillThreeHoles()}),
              "10.000000,10.000000,50.000000\n30.000000,10.000000,50.000000\n"
              "50.000000,10.000000,50.000000\n");
}

}  // namespace
