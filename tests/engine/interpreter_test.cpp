#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "interpreter_test_support.h"

namespace {

TEST(ModalReset, KeepsOnlyGCodeBitsAndMarksRangesUnsetForUpdatesToWiden) {
    auto state = std::make_unique<NcModalState>();
    memset(state.get(), 0x5A, sizeof *state);
    const uint32_t all[4] = {~0u, ~0u, ~0u, ~0u};
    EXPECT_EQ(ncModalReset(state.get(), all), 1);
    EXPECT_EQ(state->gModal[3], 0xFu);  // G96 to G99; higher bits are no G codes
    EXPECT_EQ(state->mModal[0] | state->callLevel | state->tools[57].dList[3], 0u);
    const std::string unset = "(-99999,-99999,-99999)";
    EXPECT_EQ(range(state->pathMin, state->pathMax), cat(unset, "-", unset));
    EXPECT_EQ(range(state->cutMin, state->tools[99].rangeMax), cat(unset, "-", unset));
    // An update widens each axis and skips unset coordinates.
    const float points[3][3] = {{1, 2, -99999}, {-1, 5, 3}, {NAN, NAN, NAN}};
    for (const float* p : points) EXPECT_EQ(ncRangeUpdate(state->pathMin, state->pathMax, p), 1);
    EXPECT_EQ(range(state->pathMin, state->pathMax), "(-1,2,3)-(1,5,3)");
}

// Runaway numbers stop at their block instead of carrying infinities into
// the ranges and times; the last line of each script is the one refused.
TEST(ModalUpdate, CoordinatesBeyondAnyMachineAreRefusedWithTheirLine) {
    const std::string huge = std::string(60, '9') + ".";
    const std::vector<std::vector<std::string>> scripts = {
        {"G01 X" + huge + " F100"},
        {"G91 G00 X200000000000000.", "X900000000000000."},
        {"G92 Y" + huge},
        {"G02 X10. R" + huge},
        {"G91 G81 X100000000000. Z-1. R1. L32767"},
    };
    for (const auto& script : scripts) {
        TestMachine machine;
        MotionRecord record;
        int32_t result = 1;
        for (const std::string& line : script) {
            NcBlockText block;
            ncAddrAnalysis(&block, line.c_str());
            result = ncModalUpdate(&machine.config, machine.state.get(), &block, &record);
            if (result == 0) break;
        }
        EXPECT_EQ(result, 0) << script.back();
        EXPECT_STATUS(NcStatusCoordinateRange, script.back());
    }
}

// Each script runs on a fresh machine at the origin; the last record counts.
TEST(ModalUpdate, BlocksGiveTheirRecords) {
    struct Case {
        std::initializer_list<const char*> script;
        const char* record;
    } cases[] = {
        {{"G00 X30. Y40."}, "G0 m3 (0,0,0)>(30,40,0)"},
        {{"G01 Z-10. F600", "X1000"}, "G1 m1 (0,0,-10)>(1,0,-10)"},  // integers are microns
        {{"G91 X5.", "Y-2."}, "G0 m2 (5,0,0)>(5,-2,0)"},
        {{"G01 X5.", "G90 G92 X1. Y2."}, "G92 (1,2,0)"},
        {{"G28 X1. Y0."}, "G28 m3 (0,0,0)>(1,0,0)"},
        {{"G28 X1.", "X5."}, "G0 m1 (1,0,0)>(5,0,0)"},  // G28 lasts one block
        {{"G02 X10."}, "G2 m1 (0,0,0)>(10,0,0)"},       // no centre data: straight
        {{"G01 F200"}, "none"},
        {{"1.5 2 -3."}, "G0 m7 (0,0,0)>(1.5,0.002,-3)"},  // a bare point list
        // Dwell, macro calls, scaling and rotation blocks move nothing: their
        // axis words do not reach the position.
        {{"G04 X2.", "G01 Y1."}, "G1 m2 (0,0,0)>(0,1,0)"},
        {{"G65 P9 X3.", "G01 Y1."}, "G1 m2 (0,0,0)>(0,1,0)"},
        {{"G66 P9 X3.", "G01 Y1."}, "G1 m2 (0,0,0)>(0,1,0)"},
        {{"G51 X1. Y1. P2", "G01 Y1."}, "G1 m2 (0,0,0)>(0,1,0)"},
        {{"G04 X2."}, "none"},
        {{"G18 G42 G01 X2."}, "G1/22 m1 (0,0,0)>(2,0,0)"},
        {{"G19 G41 G44 X3."}, "G0/94 m1 (0,0,0)>(3,0,0)"},
        {{"G43 G42 X1.", "G40 G49 G17 X4."}, "G0 m1 (1,0,0)>(4,0,0)"},
        {{"G01 G41 D1 X1.", "#1=2"}, "none"},  // macro statement
    };
    for (const Case& c : cases) {
        TestMachine machine;
        EXPECT_EQ(describe(machine.run(c.script)), c.record) << *c.script.begin();
    }
}

// O65537 cut to 16 bits would be O1 and share that program's filter choice.
TEST(ModalUpdate, RecordsCarryOnlyProgramNumbersTheirFieldHolds) {
    const int32_t cases[][2] = {
        {1234, 1234}, {32767, 32767}, {32768, kNcProgramUnfit}, {65537, kNcProgramUnfit}};
    for (const auto& c : cases) {
        TestMachine machine;
        machine.state->callStack[0].programNumber = c[0];
        EXPECT_EQ(machine.run("G01 X1.").programNumber, c[1]) << c[0];
    }
}

TEST(ModalUpdate, StatisticsCountLengthsTimesAndValuesPerTool) {
    TestMachine machine;
    machine.run({"G00 X30. Y40.", "G01 Z-10. F600", "X1000", "G91 Y-40."});
    // Rapid 50 mm at 100 mm/s, cuts of 10, 29 and 40 mm at 10 mm/s; rapids
    // widen the path range only.
    EXPECT_EQ(describe(machine.tool(0)), "n0 cut 79 time 8.4 D[] H[] F[600] S[] C[]");
    EXPECT_EQ(range(machine.state->pathMin, machine.state->pathMax), "(0,0,-10)-(30,40,0)");
    EXPECT_EQ(range(machine.state->cutMin, machine.state->cutMax), "(1,0,-10)-(30,40,0)");
    EXPECT_EQ(range(machine.tool(0).rangeMin, machine.tool(0).rangeMax), "(1,0,-10)-(30,40,0)");

    // D and H count while their compensation is active; a value is listed
    // once, 0 never, and a block that does not move lists nothing.
    TestMachine lists;
    lists.run({"G41 D7 G43 H3 S1200 G01 X1. F100", "X2. F100", "X3. F0", "G40 G49 D9 H8 X4. F200",
               "G01 F300"});
    EXPECT_EQ(describe(lists.tool(0)), "n0 cut 4 time 1.5 D[7] H[3] F[100,200] S[1200] C[]");
    float feed = 0.0f;
    ncAddrFind(&lists.state->registers, 'F', 0.0f, &feed);
    EXPECT_EQ(feed, 300.0f);  // yet F300 is kept
    for (int s = 1; s <= 101; ++s) lists.run(cat("X1. S", std::to_string(s)).c_str());
    EXPECT_EQ(lists.tool(0).sList[99], 99);  // a full list drops the rest

    TestMachine noRapidFeed;
    noRapidFeed.config.feedG00 = 0.0f;
    noRapidFeed.run("G00 X100.");
    EXPECT_EQ(describe(noRapidFeed.tool(0)), "n0 cut 0 time 0 D[] H[] F[] S[] C[]");
}

TEST(ModalUpdate, ToolChangeTakesTheToolWrittenBeforeM06) {
    struct Case {
        const char* line;
        int active;   // record toolNumber
        int changed;  // whose change count rises, -1 for none
    } cases[] = {
        {"T3 M06", 3, 3},                       // same block: T3 becomes active at once
        {"T5", 3, -1},                          // only pending
        {"M06 T7", 5, 5},                       // activates the pending T5, leaves T7 pending
        {"M06", 7, 7},     {"T150 M06", 0, 0},  // out of range: recorded as tool 0
        {"T-2 M06", 0, 0},
    };
    TestMachine machine;
    machine.state->callStack[0].programNumber = 1234;
    int changes[kNcToolCount] = {};
    for (const Case& c : cases) {
        MotionRecord record = machine.run(c.line);
        EXPECT_EQ(+record.toolNumber, c.active) << c.line;
        EXPECT_EQ(+record.programNumber, 1234);
        if (c.changed >= 0) ++changes[c.changed];
        for (int t : {0, 3, 5, 7}) EXPECT_EQ(machine.tool(t).changeCount, changes[t]) << c.line;
    }
    NcBlockText block;  // the T word before the M06 is taken out of the block
    ncAddrAnalysis(&block, "T4 M06");
    MotionRecord record;
    ncModalUpdate(&machine.config, machine.state.get(), &block, &record);
    EXPECT_EQ(block.words[0].letter + 0, 0);
}

TEST(ModalUpdate, OneShotCodesAndCallBlocksLastOneBlock) {
    TestMachine machine;
    machine.run("M03 M98 P100 L2 F999");
    EXPECT_TRUE(machine.m(98));
    EXPECT_EQ(ncAddrFind(&machine.state->callBlock, 'L', 0.0f, nullptr), 3);
    EXPECT_EQ(ncAddrFind(&machine.state->registers, 'F', 0.0f, nullptr), -1);  // an argument
    machine.run("G65 P9 G91");
    EXPECT_TRUE(machine.g(65) && machine.g(91) && !machine.m(98));
    machine.state->callStack[0].programNumber = 7;
    machine.run("G92 M30 T3 M06");
    EXPECT_TRUE(machine.g(92) && machine.m(30) && machine.m(6) && !machine.g(65));
    // A block with nothing to execute gives an all-zero record, yet it ends
    // the one-shot codes.
    MotionRecord skipped = machine.run("/X5.");
    const MotionRecord zero{};
    EXPECT_EQ(memcmp(&skipped, &zero, sizeof zero), 0);
    EXPECT_TRUE(!machine.g(92) && !machine.m(30) && !machine.m(6));
    EXPECT_TRUE(machine.m(3) && machine.g(91));  // modal codes stay
}

TEST(ModalUpdate, OptionBitsChangeMotionAndCentreModes) {
    TestMachine noModal;  // a block without its own G00-G03 cuts in G01
    noModal.config.options = kNcOptionNoMotionModal;
    EXPECT_EQ(describe(noModal.run({"G01 F600", "G00 X0.", "X10."})), "G1 m1 (0,0,0)>(10,0,0)");
    EXPECT_EQ(describe(noModal.tool(0)), "n0 cut 10 time 1 D[] H[] F[600] S[] C[]");

    TestMachine absolute;  // I, J, K absolute and modal under G90
    absolute.config.options = kNcOptionIjkFollowsDistanceMode;
    EXPECT_EQ(describe(absolute.run({"G00 X10. Y0.", "G03 X-10. Y0. I0. J0.", "X10. Y0."})),
              "G3 c(0,0,0) (-10,0,0)>(10,0,0) r10 180:360");
    // Under G91 they are offsets again; without them there is no circle.
    EXPECT_EQ(describe(absolute.run("G91 G03 X-10.")), "G3 m1 (10,0,0)>(0,0,0)");

    // G91.1 is not G91 and turns the option off; G90.1 turns it on.
    const char* arc[] = {"G00 X10. Y0.", "G03 X-10. Y0. I-10. J0."};
    EXPECT_EQ(describe(absolute.run({"G90 G91.1", arc[0], arc[1]})),
              "G3 c(0,0,0) (10,0,0)>(-10,0,0) r10 0:180");
    EXPECT_FALSE(absolute.g(91));
    TestMachine offsets;
    EXPECT_EQ(describe(offsets.run({"G90.1", arc[0], "G03 X-10. Y0. I0. J0."})),
              "G3 c(0,0,0) (10,0,0)>(-10,0,0) r10 0:180");
    EXPECT_TRUE(offsets.g(90) && !offsets.g(91));
}

}  // namespace
