#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "interpreter_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Step {
    const char* line;
    const char* record;
};

// Runs the steps on a fresh machine at the origin (tool T has radius T/2)
// and compares every record.
void expectRecords(TestMachine* machine, const std::vector<Step>& steps) {
    for (const Step& step : steps) EXPECT_EQ(describe(machine->run(step.line)), step.record);
}

// Arcs from the origin in G17 at F600 (10 mm/s): a positive R gives the
// short arc, a negative R the long one; G02 is stored as the
// counter-clockwise sweep from its end point.
TEST(Arc, CentreAndRadiusFormsGiveCentreAnglesAndLength) {
    struct Case {
        const char* line;
        const char* record;
        double length;
    } cases[] = {
        {"G02 X10. Y0. I5. J0.", "G2 c(5,0,0) (0,0,0)>(10,0,0) r5 0:180", 5 * kPi},
        {"G03 X10. Y0. I5. J0.", "G3 c(5,0,0) (0,0,0)>(10,0,0) r5 180:360", 5 * kPi},
        {"G02 I5.", "G2 c(5,0,0) (0,0,0)>(0,0,0) r5 180:540", 10 * kPi},  // full circle
        {"G02 I0.", "G2 c(0,0,0) (0,0,0)>(0,0,0) r0 0:360", 0},
        {"G02 X10. Y0. R10.", "G2 c(5,-8.6603,0) (0,0,0)>(10,0,0) r10 60:120", 10 * kPi / 3},
        {"G02 X10. Y0. R-10.", "G2 c(5,8.6603,0) (0,0,0)>(10,0,0) r10 300:600", 50 * kPi / 3},
        {"G03 X10. Y0. R-10.", "G3 c(5,-8.6603,0) (0,0,0)>(10,0,0) r10 120:420", 50 * kPi / 3},
        // Half the chord equal to the radius: both signs give the half circle.
        {"G02 X10. Y0. R5.", "G2 c(5,0,0) (0,0,0)>(10,0,0) r5 0:180", 5 * kPi},
        {"G02 X10. Y0. R-5.", "G2 c(5,0,0) (0,0,0)>(10,0,0) r5 0:180", 5 * kPi},
        // A chord of 10 along (0.6, 0.8) with R13: the centre lies 12 off its
        // middle, to the right for G02; 2 asin(5/13) = 45.24 degrees. (The
        // float nearest 300.51024 prints as 300.5103.)
        {"G02 X6. Y8. R13.", "G2 c(12.6,-3.2,0) (0,0,0)>(6,8,0) r13 120.5102:165.75", 10.26457},
        {"G03 X6. Y8. R13.", "G3 c(-6.6,11.2,0) (0,0,0)>(6,8,0) r13 300.5103:345.75", 10.26457},
        // G18 measures from Z towards X; a helix counts its rise as well.
        {"G18 G03 X10. I5. K0.", "G3/2 c(5,0,0) (0,0,0)>(10,0,0) r5 270:450", 5 * kPi},
        {"G03 X-20. Y0. Z4. I-10.", "G3 c(-10,0,0) (0,0,0)>(-20,0,4) r10 0:180",
         std::hypot(10 * kPi, 4.0)},
    };
    for (const Case& c : cases) {
        TestMachine machine;
        EXPECT_EQ(describe(machine.run({"G01 F600", c.line})), c.record);
        EXPECT_NEAR(machine.tool(0).cutLength, c.length, 1e-4) << c.line;
        EXPECT_NEAR(machine.tool(0).machiningTime, c.length / 10, 1e-5) << c.line;
    }
}

// The extent: both end points and the quadrant points inside the sweep, at
// the middle height of a helix; path, cut and tool ranges alike.
TEST(Arc, ExtentHoldsEndPointsAndQuadrantPointsInsideTheSweep) {
    struct Case {
        const char* line;
        const char* extent;
    } cases[] = {
        {"G02 X10. Y0. I5.", "(0,0,0)-(10,5,0)"},
        {"G03 X10. Y0. I5.", "(0,-5,0)-(10,0,0)"},
        {"G02 I5.", "(0,-5,0)-(10,5,0)"},
        {"G18 G03 X10. I5. K0.", "(0,0,0)-(10,0,5)"},
        {"G03 X-20. Y0. Z4. I-10.", "(-20,0,0)-(0,10,4)"},
    };
    for (const Case& c : cases) {
        TestMachine machine;
        machine.run(c.line);
        const NcModalState& s = *machine.state;
        EXPECT_EQ(range(s.cutMin, s.cutMax), c.extent) << c.line;
        EXPECT_EQ(range(s.pathMin, s.pathMax), c.extent) << c.line;
        EXPECT_EQ(range(s.tools[0].rangeMin, s.tools[0].rangeMax), c.extent) << c.line;
    }
    TestMachine straight;  // without centre data: a cut that widens no cutting range
    straight.run("G02 X10. F600");
    EXPECT_EQ(describe(straight.tool(0)), "n0 cut 10 time 1 D[] H[] F[600] S[] C[]");
    EXPECT_EQ(straight.state->cutMax[0], -99999.0f);
}

TEST(Cycle, DrillsEveryPositionAtTheKeptLevels) {
    TestMachine machine;
    machine.run({"G00 Z50.", "T4 M06"});
    expectRecords(&machine, {{"G81 X10. Y10. Z-5. R2. F100",
                              "G81 (0,0,50) r(10,10,2) b(10,10,-5) t2 L1 s0,0"}});
    // Rapid over the hole and down to R at 100 mm/s, 7 mm at F100; the tool
    // circle at the bottom is cut, the approach only travelled.
    EXPECT_EQ(describe(machine.tool(4)), "n1 cut 7 time 4.8214 D[] H[] F[100] S[] C[81x1]");
    EXPECT_EQ(range(machine.state->cutMin, machine.state->cutMax), "(8,8,-5)-(12,12,-5)");
    EXPECT_EQ(range(machine.state->pathMin, machine.state->pathMax), "(0,0,-5)-(12,12,50)");
    EXPECT_EQ(point(machine.state->position), "(10,10,50)");  // back at the initial level
    expectRecords(
        &machine,
        {
            {"X20.", "G81 (10,10,50) r(20,10,2) b(20,10,-5) t2 L1 s0,0"},
            {"G82 X30.", "none"},  // a new cycle starts from its own block, which has no Z
            {"G81 X1. Z-1.", "G81 (30,10,50) r(1,10,50) b(1,10,-1) t2 L1 s0,0"},  // no R
            {"G80", "none"},
            {"X40.", "G0 m1 (1,10,50)>(40,10,50)"},
            {"G81 X1. Z-1.", "G81 (40,10,50) r(1,10,50) b(1,10,-1) t2 L1 s0,0"},
            {"G00 X2.", "G0 m1 (1,10,50)>(2,10,50)"},
            {"G81 X6. Z-1. L0", "none"},  // no hole: L0, or no X, Y, Z (an R is still kept)
            {"R3.", "none"},
            {"X7. Z-1.", "G81 (6,10,50) r(7,10,3) b(7,10,-1) t2 L1 s0,0"},
        });
    EXPECT_EQ(list(machine.tool(4).cycleList, true), "[81x5]");
}

// Under G91, R counts from the initial level and Z from the R level; L
// holes follow one step apart, the first one step from the start.
TEST(Cycle, IncrementalWordsMeasureFromInitialAndRLevels) {
    TestMachine machine;
    machine.run({"G00 X0. Y0. Z50.", "T2 M06"});
    expectRecords(&machine, {{"G91 G81 X20. Y0. Z-7. R-48. L3 F100",
                              "G81 (0,0,50) r(20,0,2) b(20,0,-5) t1 L3 s20,0"}});
    EXPECT_EQ(point(machine.state->position), "(60,0,50)");  // over the last hole
    float z = 0, r = 0;
    ncAddrFind(&machine.state->cycleBlock, 'Z', 0.0f, &z);
    ncAddrFind(&machine.state->cycleBlock, 'R', 0.0f, &r);
    EXPECT_EQ(cat(num(z), " ", num(r)), "-5 2");  // kept as absolute levels
    // One hole's depth as length; three approaches and three holes of time.
    EXPECT_EQ(describe(machine.tool(2)), "n1 cut 7 time 14.64 D[] H[] F[100] S[] C[81x3]");
    EXPECT_EQ(range(machine.state->cutMin, machine.state->cutMax), "(19,-1,-5)-(61,1,-5)");
    expectRecords(&machine, {
                                {"X10.", "G81 (60,0,50) r(70,0,2) b(70,0,-5) t1 L1 s0,0"},
                                {"Z-3.", "G81 (70,0,50) r(70,0,2) b(70,0,-1) t1 L1 s0,0"},
                            });
}

// The drawn path turns; the position stays in program coordinates. The
// first block after G68 starts where the tool stands.
TEST(Rotation, TurnsTheDrawnPathAboutTheCentre) {
    const std::vector<std::vector<Step>> scenarios = {
        {{"G68 X10. Y0. R90.", "none"},
         {"G01 X20. Y0. F100", "G1 m3 (0,0,0)>(10,10,0)"},
         {"X20. Y10.", "G1 m3 (10,10,0)>(0,10,0)"},
         {"G69 X0. Y0.", "G1 m3 (20,10,0)>(0,0,0)"}},
        // Incremental without a G90 since G68: about where G68 was read.
        {{"G00 X10.", "G0 m1 (0,0,0)>(10,0,0)"},
         {"G91 G68 X5. R90.", "none"},
         {"G01 X10. F100", "G1 m1 (10,0,0)>(10,10,0)"}},
        {{"G00 Z50.", "G0 m4 (0,0,0)>(0,0,50)"},
         {"G68 R90.", "none"},
         {"G81 X10. Y0. Z-5. R2.", "G81 (0,0,50) r(0,10,2) b(0,10,-5) t0 L1 s0,0"}},
        // A plane named by I, J or K takes coordinates from the centre.
        {{"G68 X10. Y0. Z2. K1. R90.", "none"}, {"G01 X5. Y0. F100", "G1 m3 (10,0,2)>(10,5,2)"}},
        {{"G68 I1. R90.", "none"}, {"G01 Y5. F100", "G1 m2 (0,0,0)>(0,0,5)"}},
    };
    for (const auto& steps : scenarios) {
        TestMachine machine;
        expectRecords(&machine, steps);
    }
    struct Case {
        const char* line;
        uint16_t flags;
    } planes[] = {
        {"G68 I1. K1. R90.", kNcRotateByIjk | kNcRotatePlaneYZ},   // I before J before K
        {"G68 I-1. J2. R90.", kNcRotateByIjk | kNcRotatePlaneZX},  // positive words only
        {"G68 K1. R90.", kNcRotateByIjk | kNcRotatePlaneXY},
        {"G18 G68 R90.", kNcRotatePlaneZX},
        {"G19 G68 R90.", kNcRotatePlaneYZ},
    };
    for (const Case& c : planes) {
        TestMachine machine;
        machine.run(c.line);
        EXPECT_EQ(machine.state->rotationFlags, c.flags) << c.line;
    }
}

}  // namespace
