#include "engine/translate.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_test_support.h"
#include "interpreter_test_support.h"

namespace {

// What the callback saw; it is a plain function, so it reports here.
struct Seen {
    std::vector<uint32_t> events;
    std::string texts;  // executed (or kept) block of every step, "|" between
    std::string kinds;  // record kind of every step
    std::vector<uint32_t> progress;
    int32_t deepest = 0;
    int abortAt = -1;  // answer 0 to the event with this index
} seen;

int watch(const NcProgressEvent* event) {
    EXPECT_NE(event->state, nullptr);
    if (ncEventPhase(event->event) == kNcPhaseStep) {
        if (!seen.texts.empty()) seen.texts += "|";
        seen.texts += event->block->text;
        seen.kinds += std::to_string(event->motion->kind);
        seen.progress.push_back(event->progress);
        seen.deepest = std::max(seen.deepest, event->state->callLevel);
    } else {
        EXPECT_EQ(event->block, nullptr);
    }
    seen.events.push_back(event->event);
    return static_cast<int>(seen.events.size()) - 1 != seen.abortAt;
}

using Program = std::pair<int32_t, std::vector<const char*>>;

class Translate : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(store = ncBlockCreate(), nullptr); }
    void TearDown() override { ncBlockDestroy(store); }

    // Loads the programs in the order given and translates from the first.
    int32_t translate(const std::vector<Program>& programs, int abortAt = -1) {
        ncBlockClear(store);
        for (const Program& program : programs) {
            for (const char* text : program.second) {
                NcBlockText block;
                ncAddrAnalysis(&block, text);
                EXPECT_EQ(ncBlockAppend(store, nullptr, program.first, &block), 1);
            }
        }
        ncBlockMemoryMap(store);
        ncModalReset(machine.state.get(), startCodes());
        machine.state->callStack[0].programNumber = programs.front().first;
        seen = Seen{};
        seen.abortAt = abortAt;
        ncStatus(NcStatusNone, "");
        return ncBlockTranslate(store, &machine.config, machine.state.get(), watch);
    }
    NcBlockStore* store = nullptr;
    TestMachine machine;
};

TEST_F(Translate, ProgramsRunInTheOrderOfTheControl) {
    struct Case {
        std::vector<Program> programs;
        const char* texts;
    } cases[] = {
        // L runs the subprogram three times, then the caller goes on.
        {{{1, {"M98 P100 L3", "X1.", "M30", "X9."}}, {100, {"G01 X5.", "M99"}}},
         "M98 P100 L3|G01 X5.|M99|G01 X5.|M99|G01 X5.|M99|X1.|M30"},
        // H starts every run at its sequence number, or at the first block.
        {{{1, {"M98 P100 H20 L2", "M98 P100 H99", "M30"}},
          {100, {"N10 X1.", "N20 X2.", "N30 X3.", "M99"}}},
         "M98 P100 H20 L2|N20 X2.|N30 X3.|M99|N20 X2.|N30 X3.|M99|M98 P100 H99|N10 X1.|N20 X2.|"
         "N30 X3.|M99|M30"},
        // Without M02/M30 the main program runs on into the next program.
        {{{1, {"X1."}}, {100, {"X2.", "M99"}}, {10000, {"%"}}}, "X1.|X2.|M99|%"},
        // M30 ends everything, in a subprogram or as a program's last block.
        {{{1, {"M98 P100", "X9."}}, {100, {"M30", "X5."}}}, "M98 P100|M30"},
        {{{1, {"X1.", "M30"}}, {2, {"X2."}}}, "X1.|M30"},
        // A call in a program's last block is not made.
        {{{1, {"X1.", "M98 P100"}}, {100, {"X5."}}}, "X1.|M98 P100|X5."},
        // A missing program: one step that executes nothing.
        {{{1, {"M98 P999", "M30"}}}, "M98 P999|M98 P999|M30"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(translate(c.programs), 1);
        EXPECT_EQ(seen.texts, c.texts);
        EXPECT_STATUS(NcStatusNone, "");
        NcBlockText block;
        MotionRecord motion;
        EXPECT_EQ(ncBlockTranslateEx(store, &machine.config, machine.state.get(), &block, &motion),
                  0);
    }
}

TEST_F(Translate, StepsReportProgramProgressAndRecords) {
    EXPECT_EQ(translate({{1, {"G01 X1. F100", "M98 P100", "G66 P999", "X2.", "G67", "M30"}},
                         {100, {"X3.", "M99"}}}),
              1);
    EXPECT_EQ(seen.events.front(), ncEventCode(kNcStageTranslation, kNcPhaseBegin));
    EXPECT_EQ(seen.events.back(), ncEventCode(kNcStageTranslation, kNcPhaseEnd));
    EXPECT_EQ(seen.events.size(), 2 + seen.progress.size());
    // The step into the missing macro keeps its block but carries an empty
    // record, not the move before it again.
    EXPECT_EQ(seen.texts, "G01 X1. F100|M98 P100|X3.|M99|G66 P999|X2.|X2.|G67|M30");
    EXPECT_EQ(seen.kinds, "202002000");
    // The running program in the high half, its share of blocks done in the
    // low half: 1 of 6 in O1, 0 and 1 of 2 in O100, 2 of 6 back in O1.
    EXPECT_EQ(
        std::vector<uint32_t>(seen.progress.begin(), seen.progress.begin() + 4),
        std::vector<uint32_t>({1u << 16 | 16, 100u << 16 | 0, 100u << 16 | 50, 1u << 16 | 33}));
}

TEST_F(Translate, CallErrorsNameTheCallingLine) {
    EXPECT_EQ(translate({{1, {"M98 P100", "M30"}},
                         {100, {"X1.", "M98 P200", "M99"}},
                         {200, {"M98 P100 (AGAIN)", "M99"}}}),
              0);
    EXPECT_STATUS(NcStatusSelfCall, "M98 P100 (AGAIN)");
    EXPECT_EQ(seen.events.back(), ncEventCode(kNcStageTranslation, kNcPhaseEnd));

    // A chain from the main program: 31 levels deep works, a 32nd does not.
    std::vector<std::string> calls;
    for (int p = 1; p <= 32; ++p) calls.push_back(cat("M98 P", std::to_string(p + 1)));
    std::vector<Program> chain;
    for (int p = 1; p <= 31; ++p) chain.push_back({p, {calls[p - 1].c_str(), "M30"}});
    chain.push_back({32, {"G01 X1.", "M99"}});
    EXPECT_EQ(translate(chain), 1);
    EXPECT_EQ(seen.deepest, 31);
    chain.back() = {32, {calls[31].c_str(), "M99"}};
    EXPECT_EQ(translate(chain), 0);
    EXPECT_STATUS(NcStatusNestingOverflow, "M98 P33");
}

// A G66 macro follows every moving block of the caller, not its own moves,
// and gives back the caller's distance mode; G65 calls once per run.
TEST_F(Translate, MacroCallsAndTheDistanceModeAfterAModalCall) {
    EXPECT_EQ(
        translate({{1, {"G90 G66 P9", "G01 X10. F100", "X20.", "G67", "X30.", "G65 P8 L2", "M30"}},
                   {9, {"G91 X1.", "M99"}},
                   {8, {"G91 Y1.", "M99"}}}),
        1);
    EXPECT_EQ(seen.texts,
              "G90 G66 P9|G01 X10. F100|G91 X1.|M99|X20.|G91 X1.|M99|G67|X30.|G65 P8 L2|G91 Y1.|"
              "M99|G91 Y1.|M99|M30");
    EXPECT_EQ(point(machine.state->position), "(30,2,0)");  // X30. absolute, not 51
    EXPECT_TRUE(machine.g(91));                             // G65 restores nothing: O8's G91 stays
}

TEST_F(Translate, CallbackAbortsWithoutStatus) {
    EXPECT_EQ(translate({{1, {"X1.", "M30"}}}, 0), 0);  // at the begin event: no step
    EXPECT_STATUS(NcStatusNone, "");
    EXPECT_EQ(seen.events.size(), 2u);                         // begin and end
    EXPECT_EQ(translate({{1, {"X1.", "X2.", "M30"}}}, 1), 0);  // at the first step
    EXPECT_STATUS(NcStatusNone, "");
    EXPECT_EQ(seen.texts, "X1.");
}

TEST_F(Translate, ACallLevelBeyondTheStackFails) {
    NcBlockText block;
    MotionRecord motion;
    machine.state->callLevel = 32;
    EXPECT_EQ(ncBlockTranslateEx(store, &machine.config, machine.state.get(), &block, &motion), 0);
    EXPECT_STATUS(NcStatusInvalidHandle, "Error::ncBlockTranslateEx(level)");
}

}  // namespace
