#include "pathdata/trace.h"

#include "pathdata/pipeline.h"
#include "tests/test_support.h"
#include "tests/pathdata/fake_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <set>
#include <string>

namespace {

// Records what a trace shows, as the window would show it.
struct TraceScreen : TraceUi {
    void statusPart(int part, const char* text) override {
        parts[part] = text;
        ++partWrites;
    }
    void clearRegisters() override {
        for (std::string& r : registers) r.clear();
    }
    void registerCell(int row, int column, const char* text) override {
        if (column == 1) registers[row] = text;
    }
    void selectCodeLine(int32_t row) override { selected = row; }
    bool breakMarkAt(int32_t row) override { return marks.count(row) != 0; }
    void drawStep(const MotionRecord& record, int, int) override {
        drawn += record.kind != kMotionNone;
    }
    void traceEnded() override { ended = true; }

    std::string parts[7], registers[kTraceRegisterRows];
    int partWrites = 0, drawn = 0;
    int32_t selected = -1;
    std::set<int32_t> marks;
    bool ended = false;
};

class Trace : public ::testing::Test {
protected:
    void SetUp() override {
        SetMachineDefaults(&machine);
        snprintf(tools.entries[0].toolName, kToolNameSize, "NONE");
        drawing = std::make_unique<Drawing>();
        ASSERT_TRUE(drawingCreate(drawing.get(), &machine, &tools));
    }
    void TearDown() override { drawingDestroy(drawing.get()); }
    void load(const char* text) {
        file.write(text);
        const char* names[] = {file.path};
        ASSERT_EQ(OpenNcFiles(drawing.get(), &ui, false, names, 1), 1);
        ASSERT_TRUE(drawing->loaded);
        ASSERT_TRUE(traceStart(&trace, drawing.get(), &screen));
    }
    int step(uint32_t now) {
        return traceStep(&trace, drawing.get(), {&speed, waits}, now, &screen);
    }
    uint32_t wait(uint32_t now) { return traceWait(&trace, drawing.get(), {&speed, waits}, now); }

    MachineDefinition machine;
    ToolTable tools = {};
    std::unique_ptr<Drawing> drawing;
    FakeUi ui;
    TempFile file{"trace.nc"};
    TraceState trace = {};
    TraceScreen screen;
    int32_t speed = 0;
    int32_t waits[3] = {0, 200, 600};
};

constexpr const char* kProgram =
    "O0100\nT150 M06\nG00 X10. Y-0.0004 Z5.\nG01 Z-1. F300 S1200 D3 H2\nX20.\nM30\n";

TEST_F(Trace, RunsToTheEndShowingEachBlockAfterItRan) {
    EXPECT_FALSE(traceStart(&trace, drawing.get(), &screen) || drawing->tracing);  // no drawing
    load(kProgram);
    std::string shownBeforeM30[kTraceRegisterRows];
    for (int calls = 0; !screen.ended && calls < 100; ++calls) {
        step(1000);
        if (screen.parts[0] == "00006 : M30" && shownBeforeM30[0].empty()) {
            std::copy(std::begin(screen.registers), std::end(screen.registers), shownBeforeM30);
        }
    }
    EXPECT_EQ(trace.stepCount, pathStoreCount(drawing->paths));
    // The call that ran M30 showed the state X20. had left.
    const char* rows[kTraceRegisterRows] = {
        "20.000", "0.000",   "-1.000", "0100", "01,17,40,49,67,80,90,98", "", "300",
        "1200",   "NONE  0", "3",      "2"};
    for (int row = 0; row < kTraceRegisterRows; ++row)
        EXPECT_EQ(shownBeforeM30[row], rows[row]) << row;
    EXPECT_EQ(screen.parts[1] + "|" + screen.parts[3] + "|" + screen.parts[6], "20.000|-1.000|16");
    EXPECT_EQ(screen.drawn, 3);  // the moves, each drawn by the step after its own
    traceStop(&trace, drawing.get());
    EXPECT_EQ(step(1000), 0);
    EXPECT_FALSE(drawing->tracing);
}

TEST_F(Trace, SpeedsWaitsSingleStepsAndPauses) {
    load(kProgram);
    speed = 7;               // unknown speeds run at normal speed and are put back
    EXPECT_EQ(wait(5), 0u);  // the first step is due at once
    step(5);
    EXPECT_EQ(speed, 1);
    EXPECT_EQ(wait(105), 100u);
    step(105);
    EXPECT_EQ(trace.stepCount, 1);
    speed = 0;  // high speed takes effect at the next call
    step(106);
    EXPECT_EQ(trace.stepCount, 2);
    speed = 2;
    trace.mode = kTraceSingleStep;  // F8 while running: one step now, then paused
    EXPECT_EQ(wait(107), 0u);
    step(107);
    EXPECT_EQ(trace.stepCount, 3);
    EXPECT_EQ(trace.mode, kTracePaused);
    EXPECT_EQ(wait(5000), kTraceWaitForever);
    step(5000);
    EXPECT_EQ(trace.stepCount, 3);
}

TEST_F(Trace, BreakMarkPausesBeforeItsBlockWithTheRowSelected) {
    load(kProgram);
    screen.marks = {4};  // "G01 Z-1. ...": header row 0, O0100 row 1
    while (trace.mode == kTraceRunning && !screen.ended) step(0);
    EXPECT_EQ(trace.mode, kTracePaused);
    EXPECT_EQ(screen.selected, 4);
    EXPECT_EQ(screen.parts[0], "00003 : G00 X10. Y-0.0004 Z5.");
    trace.mode = kTraceSingleStep;
    step(0);
    EXPECT_EQ(screen.parts[0], "00004 : G01 Z-1. F300 S1200 D3 H2");
}

TEST_F(Trace, HiddenProgramRunsInOneCallWithoutDisplay) {
    load("O0001\nG00 X1.\nM98 P0200\nG01 X2.\nM30\nO0200\nG01 Y1.\nY2.\nY3.\nM99\n");
    filterSetProgramShown(&drawing->filter, 200, false);
    for (int i = 0; i < 3; ++i) step(0);  // O0001, G00, M98 shown
    const int steps = trace.stepCount, writes = screen.partWrites;
    step(0);
    EXPECT_EQ(trace.stepCount, steps + 6);  // O0200 to M99 hidden, then G01 X2.
    EXPECT_EQ(screen.parts[0], "00004 : G01 X2.");
    EXPECT_EQ(screen.partWrites - writes, 6);  // one round of parts, no more
}

TEST_F(Trace, TextsOfTimesAndCoordinates) {
    const struct {
        double seconds;
        const char* text;
    } times[] = {{3725, "01:02:05"}, {59.99, "00:00:59"}, {0, "00:00:00"}, {-5, "00:00:00"}};
    char text[32];
    for (const auto& c : times) {
        traceTimeText(c.seconds, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    traceCoordinateText(-1.2344f, text, sizeof text);  // -0.0004 shows as 0.000 above
    EXPECT_STREQ(text, "-1.234");
}

}  // namespace
