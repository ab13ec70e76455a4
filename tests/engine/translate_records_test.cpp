// One fixed program translated into the records every build must produce.
// The expected values come from the geometry of the program; one record
// whose arithmetic is exact is also compared byte for byte, so that the
// header fields and the unused bytes stay pinned.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "engine/status.h"
#include "engine/translate.h"
#include "interpreter_test_support.h"
#include "tests/motion_records.h"

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

    // The arc of the G02 R5 block starts at atan2(4, 3) = 53.1301 degrees.
    const char* const expected[] = {
        "T0 none",
        "T2 none",
        "T2 G0/41 m7 (0,0,0)>(10,5,20)",
        "T2 G1/41 m4 (10,5,20)>(10,5,-2.5)",
        "T2 G3/41 c(0,5,-2.5) (10,5,-2.5)>(0,15,-2.5) r10 0:90",
        "T2 G2/41 c(3,11,-2.5) (0,15,-2.5)>(6,15,-2.5) r5 53.1301:126.8699",
        "T2 G0/41 m4 (6,15,-2.5)>(6,15,10)",
        "T2 G81/41 (6,15,10) r(20,15,1) b(20,15,-5) t1 L1 s0,0",
        "T2 G81/41 (20,15,10) r(25,15,1) b(25,15,-5) t1 L2 s5,0",
        "T2 none",
        "T2 G92/41 (0,0,10)",
        "T2 none",
        "T2 G1/41 m7 (0,0,10)>(0,10,10)",
        "T2 G1/41 m3 (0,10,10)>(-5,10,10)",
        "T2 none",
        "T2 G3/41 c(0,5,10) (10,5,10)>(0,15,5) r10 0:90",
        "T2 G2/42 c(5,15,5) (0,15,5)>(10,15,5) r5 90:270",
        "T2 none",
    };
    ASSERT_EQ(collected.size(), std::size(expected));
    for (size_t i = 0; i < collected.size(); ++i) {
        const MotionRecord& r = collected[i];
        EXPECT_EQ(cat("T", std::to_string(r.toolNumber), " ", describe(r)), expected[i])
            << kProgram[i];
    }
    MotionRecord plunge = lineRecord(1, kModePlaneXY | kModeG43, kAxisZ, {10, 5, 20}, {10, 5, -2.5});
    plunge.programNumber = 1234;
    plunge.toolNumber = 2;
    EXPECT_EQ(memcmp(&collected[3], &plunge, sizeof plunge), 0);

    // Three holes, and H1 counted while G43 was active.
    EXPECT_EQ(list(machine.tool(2).cycleList, true) + list(machine.tool(2).hList), "[81x3][1]");
}

}  // namespace
