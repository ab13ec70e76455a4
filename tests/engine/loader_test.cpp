#include "engine/loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine_test_support.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Packs pairs into the two lists of a configuration.
void setReplacements(NcMachineConfig* config, const Pairs& pairs) {
    memset(config->replaceFrom, 0, sizeof config->replaceFrom);
    memset(config->replaceTo, 0, sizeof config->replaceTo);
    size_t from = 0, to = 0;
    for (const auto& pair : pairs) {
        memcpy(config->replaceFrom + from, pair.first.c_str(), pair.first.size() + 1);
        memcpy(config->replaceTo + to, pair.second.c_str(), pair.second.size() + 1);
        from += pair.first.size() + 1;
        to += pair.second.size() + 1;
    }
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(store = ncBlockCreate(), nullptr);
        memset(&config, 0, sizeof config);
        ncStatus(0, "");
    }
    void TearDown() override { ncBlockDestroy(store); }

    int32_t load(const TempBytes& file, NcProgressCallback callback = nullptr) {
        return ncBlockLoading(store, &config, file.path, &mainProgram, callback);
    }
    // The texts of the blocks after the file header, each ended by "|".
    std::string lineTexts() {
        std::string out;
        NcBlockText block;
        for (int32_t i = 1; ncBlockListGet(store, i, &block) == 1; ++i)
            out += block.text + std::string("|");
        return out;
    }
    NcBlockText blockAt(int32_t program, int32_t index) {
        NcBlockText block{};
        EXPECT_EQ(ncBlockGet(store, program, index, &block), 1);
        return block;
    }
    NcBlockStore* store = nullptr;
    NcMachineConfig config;
    int32_t mainProgram = 0;
};

TEST_F(Loader, ProgramsFollowOWordsAndRepeatedNumbersAreRefused) {
    TempBytes file("%\r\nO0001\r\nG00X0Y0\r\nO0 O-5\r\nM30\r\n%\r\n");
    ASSERT_EQ(load(file), 1);
    EXPECT_EQ(mainProgram, 1);
    // The header and the first "%" are automatic; O0 and O-5 start nothing.
    EXPECT_EQ(describePrograms(store), "10000:0+2 1:2+5 /7");
    NcBlockText header = blockAt(10000, 0);
    EXPECT_EQ(header.kind * 1000 + header.lineIndex, KindFileHeader * 1000 - 1);
    const std::string path = file.path;
    EXPECT_EQ(header.text, path.substr(path.find_last_of(platPathSeparator()) + 1));
    EXPECT_EQ(int32_t{blockAt(1, 4).lineIndex}, 5);
    EXPECT_NE(store->view, nullptr);  // mapped again after the load
    ASSERT_EQ(load(file), 0);
    EXPECT_STATUS(NcStatusDuplicateProgram, "O0001");
    EXPECT_EQ(describePrograms(store), "10000:0+2 1:2+5 10001:7+2 /9");
}

TEST_F(Loader, FilesWithoutOWordsAreNumberedFromTheirName) {
    const std::pair<const char*, int32_t> rows[] = {
        {"P5.", 5}, {"o7-", 7}, {"ABC", 10000}, {"P0.", 10000}, {"5P.", 10000}};
    for (const auto& [prefix, program] : rows) {
        ASSERT_EQ(ncBlockClear(store), 1);
        TempBytes file("G01 X1.\nM02\n", prefix);
        ASSERT_EQ(load(file), 1) << prefix;
        EXPECT_EQ(describePrograms(store), std::to_string(program) + ":0+3 /3");
        EXPECT_EQ(mainProgram, program) << prefix;
    }
    // When the name's number is taken the file keeps its automatic number.
    TempBytes first("G01\n", "P5."), second("G01\n", "P5.");
    ASSERT_EQ(load(first) + load(second), 2);
    EXPECT_EQ(describePrograms(store), "10000:0+3 5:3+2 10001:5+2 /7");
}

TEST_F(Loader, LinesEndAtCrLfCrOrLfAndAreCutAt127Bytes) {
    const std::pair<std::string, std::string> rows[] = {
        {"A1\r\nB2\r\nC3", "A1|B2|C3|"},
        {"A1\rB2\rC3\r", "A1|B2|C3|"},
        {"A1\nB2\nC3\n", "A1|B2|C3|"},
        {"A1\r\rB2\n\nC3", "A1||B2||C3|"},
        // Double-byte characters pass whole, even with a trail byte of "\" or "|".
        {std::string(200, 'X') + "\nG01(\x95\x5C\x83\x7C)",
         std::string(127, 'X') + "|G01(\x95\x5C\x83\x7C)|"},
        // Line ends well past where a line is cut, in each form.
        {std::string(1500, 'Y') + "\rZ1\rZ2", std::string(127, 'Y') + "|Z1|Z2|"},
        {std::string(511, 'Y') + "\r\nZ1", std::string(127, 'Y') + "|Z1|"},
        {std::string(512, 'Y') + "\nZ1", std::string(127, 'Y') + "|Z1|"},
        {std::string(513, 'Y') + "\r" + std::string(600, 'W'),
         std::string(127, 'Y') + "|" + std::string(127, 'W') + "|"},
    };
    for (const auto& [bytes, lines] : rows) {
        ASSERT_EQ(ncBlockClear(store), 1);
        TempBytes file(bytes);
        ASSERT_EQ(load(file), 1);
        EXPECT_EQ(lineTexts(), lines);
    }
}

// A large file is analysed ahead on a helper thread in pieces cut at round
// byte positions; a replacement list (here one that never matches) makes
// the loader read alone. Both must give the same store, block for block,
// also where a cut falls between the CR and LF of a pair, just before a
// lone CR, or inside a line longer than several pieces.
TEST_F(Loader, LargeFilesLoadTheSameWithAndWithoutAnalysisAhead) {
    auto lines = [](const std::string& end, const std::string& body) {
        std::string text = std::string(4095 - (end.size() - 1), 'A') + end;
        while (text.size() < 1300000) text += std::string(4096 - end.size(), 'B') + end;
        return text + body;
    };
    std::string mixed = "%\r\n(LARGE)\r\n";
    for (int i = 0; i < 90000; ++i) {
        if (i == 50000) mixed += "M30\nO0200\n";
        if (i == 60000) mixed += std::string("G01 X5.\0Y7.(\0)\n", 16);
        mixed += "G01 X" + std::to_string(i % 977) + ".5 Y-" + std::to_string(i % 13) +
                 (i % 3 ? "\n" : "\r\n");
        if (i % 7 == 0) mixed += "\r";
    }
    const std::string rows[] = {
        lines("\r\n", "X1"),
        lines("\n\r", "X2\r"),
        lines("\r", "\r\n"),
        "G01 X1.\n" + std::string(300000, 'C') + "\r\n" + lines("\n", ""),
        mixed,
    };
    for (const std::string& text : rows) {
        ASSERT_GT(text.size(), 1024u * 1024);  // large enough to be analysed ahead
        TempBytes file(text);
        auto snapshot = [&](const Pairs& replacements) {
            setReplacements(&config, replacements);
            EXPECT_EQ(ncBlockClear(store), 1);
            EXPECT_EQ(load(file), 1);
            std::string all = std::to_string(mainProgram) + "/";
            for (int32_t p = ncBlockNext(store, -1); p >= 0; p = ncBlockNext(store, p)) {
                all += std::to_string(p) + ":" + std::to_string(ncBlockCount(store, p)) + " ";
            }
            NcBlockText block;
            for (int32_t i = 0; ncBlockListGet(store, i, &block) == 1; ++i) {
                all.append(reinterpret_cast<const char*>(&block), sizeof block);
            }
            return all;
        };
        const std::string ahead = snapshot({});
        EXPECT_TRUE(snapshot({{"QQQ", "RRR"}}) == ahead);
    }
    EXPECT_EQ(ncBlockListCount(store), 1 + 2 + 90000 + 2 + 1 + 90000 / 7 + 1);  // the mixed file's
}

// Stopping or failing in the middle of a large file ends the load at once.
TEST_F(Loader, LargeFilesStopWhenAskedAndReportDuplicates) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "G01 X1. Y2. Z3.\n";
    TempBytes plain(text);
    static int steps;
    steps = 0;
    auto stopLater = [](const NcProgressEvent* e) {
        return ncEventPhase(e->event) == kNcPhaseStep && ++steps == 20000 ? 0 : 1;
    };
    EXPECT_EQ(load(plain, stopLater), 0);
    EXPECT_EQ(steps, 20000);
    ASSERT_EQ(ncBlockClear(store), 1);
    TempBytes twice("O0001\n" + text + "O0001 (AGAIN)\n" + text);
    EXPECT_EQ(load(twice), 0);
    EXPECT_STATUS(NcStatusDuplicateProgram, "O0001 (AGAIN)");
}

TEST_F(Loader, RewritesAffectOnlyTheAnalysis) {
    setReplacements(&config, {{"\\find", "M06"}, {"T", "TT"}, {"\\end", ""}, {"G92", "G92.1"}});
    config.options = kNcOptionIgnoreSpaces;
    TempBytes file("T1 M06\nT2 G92 X 1.\n");
    ASSERT_EQ(load(file), 1);
    NcBlockText first = blockAt(10000, 1), second = blockAt(10000, 2);
    EXPECT_EQ(ncAddrFind(&first, 'T', 0.0f, nullptr), -1);  // "TT1" is no word
    float g = 0.0f, x = 0.0f;
    EXPECT_EQ(ncAddrFind(&second, 'G', 0.0f, &g) + ncAddrFind(&second, 'X', 0.0f, &x), 3);
    EXPECT_FLOAT_EQ(g, 92.1f);
    EXPECT_EQ(x, 1.0f);  // read only once the space is gone
    EXPECT_STREQ(second.text, "T2 G92 X 1.");
    setReplacements(&config, {{"G92", "g92"}});
    EXPECT_EQ(load(file), 0);
    EXPECT_STATUS(NcStatusInvalidArgument, "Error::ncLineReplace(cmp)");
}

TEST(NcLineReplace, AppliesPairsAndDirectivesInOrder) {
    const std::string kanji = "\x88\x9F", n125(125, 'N');
    const std::pair<Pairs, std::pair<std::string, std::string>> rows[] = {
        {{{"X", "Y"}, {"Y", "Z"}}, {"X1 X2", "Z1 X2"}},
        {{{"\\find", "M06"}, {"T", "TT"}, {"\\end", ""}, {"1", "3"}}, {"T1 M06", "TT3 M06"}},
        {{{"\\find", "M06"}, {"T", "TT"}, {"\\end", ""}, {"1", "3"}}, {"T1", "T3"}},
        {{{"\\find", "M06"}, {"T", "TT"}, {"\\else", ""}, {"T", "D"}}, {"T1", "D1"}},
        {{{"\\what", ""}, {" ", ""}}, {"G0 X1", "G0X1"}},
        {{{"\x88", "X"}, {"G", "H"}}, {"G0", "G0"}},  // a list starting with a high byte is off
        {{{"Q", std::string(40, 'W')}}, {n125 + "Q", n125 + "WW"}},
        {{{"Q", kanji + kanji}}, {n125 + "NQ", n125 + "N"}},
        {{{"Q", kanji + kanji}}, {n125 + "Q", n125 + kanji}},
    };
    NcMachineConfig lists;
    for (const auto& [pairs, lines] : rows) {
        setReplacements(&lists, pairs);
        char line[kNcLineSize];
        memcpy(line, lines.first.c_str(), lines.first.size() + 1);
        EXPECT_EQ(ncLineReplace(line, lists.replaceFrom, lists.replaceTo), 1);
        EXPECT_EQ(std::string(line), lines.second) << lines.first;
    }
    char line[kNcLineSize] = "G01  X1.\tY2. ";
    EXPECT_EQ(ncLineDelSpace(line), 1);
    EXPECT_STREQ(line, "G01X1.\tY2.");
}

TEST_F(Loader, UnreadableFilesFail) {
    TempBytes empty("");
    EXPECT_EQ(load(empty), 0);
    EXPECT_STATUS(NcStatusReadFailed, empty.path);
    std::string missing = std::string(empty.path) + "-missing";
    EXPECT_EQ(ncBlockLoading(store, &config, missing.c_str(), &mainProgram, nullptr), 0);
    EXPECT_STATUS(NcStatusReadFailed, missing);
}

// Each event as stage, phase and progress; the callback answers 0 at abortAt.
std::vector<uint32_t> events;
size_t abortAt;

int recordEvent(const NcProgressEvent* event) {
    bool step = ncEventPhase(event->event) == kNcPhaseStep;
    EXPECT_TRUE(step == (event->block != nullptr) && event->state == nullptr);
    events.push_back(event->event << 8 | event->progress);
    return events.size() - 1 == abortAt ? 0 : 1;
}

// Stopped at the begin event nothing is appended; stopped at the first step
// the header and the first line stay. An abort records no status.
TEST_F(Loader, ReportsProgressAndStopsWhenTheCallbackSaysSo) {
    TempBytes file("G01\nG02\n");
    const struct {
        size_t abortAt;
        int32_t result, blocks;
        std::vector<uint32_t> events;
    } rows[] = {{99, 1, 3, {0, 0x100 | 50, 0x100 | 100, 0x200}},
                {0, 0, 0, {0, 0x200}},
                {1, 0, 2, {0, 0x100 | 50, 0x200}}};
    for (const auto& row : rows) {
        ASSERT_EQ(ncBlockClear(store), 1);
        events.clear();
        abortAt = row.abortAt;
        EXPECT_EQ(load(file, recordEvent), row.result);
        EXPECT_EQ(statusCode(), 0u);
        EXPECT_EQ(ncBlockListCount(store), row.blocks);
        EXPECT_EQ(events, row.events);
    }
}

}  // namespace
