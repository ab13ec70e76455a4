#include "engine/block_text.h"
#include "engine/block_text_detail.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine_test_support.h"

namespace {

// The words of a block as "letter value:flags", separated by spaces.
std::string describeWords(const NcBlockText& block) {
    std::string out;
    for (const NcAddressWord& word : block.words) {
        char text[48];
        snprintf(text, sizeof text, "%s%c%g:%d", out.empty() ? "" : " ", word.letter,
                 static_cast<double>(word.value), word.flags);
        if (word.letter != 0) out += text;
    }
    return out;
}

NcBlockText analyse(const std::string& line) {
    NcBlockText block;
    EXPECT_EQ(ncAddrAnalysis(&block, line.c_str()), 1);
    return block;
}

TEST(NcAddrAnalysis, KindsAndWords) {
    struct Row {
        const char* line;
        int kind;
        const char* words;
    };
    const Row rows[] = {
        {"N10 G01 X10. Y-5 F200", KindWords, "N10:1 G1:1 X10:0 Y-5:1 F200:1"},
        // One comment span from the first "(" to the last ")": END is never seen.
        {"G00 X1.(MOVE) Y2.(END)", KindWords, "G0:1 X1:0"},
        {"G01 (OPEN X1.", KindWords, "G1:1 X1:0"},
        {"G01 XABC Y2.", KindWords, "G1:1 Y2:0"},
        {"X#101 Y#", KindWords, "X101:3 Y0:3"},
        {"X1-2 Y.5 Z", KindWords, "X1:1 Y0.5:0"},
        {"   /G01 X5.", KindEmpty, ""},
        {"\tG01 X5.", KindEmpty, ""},
        {"ABC DEF", KindEmpty, ""},
        {"#100=#100+1", KindStatement, "#100=#100+1"},
        {"IF[#1GT0]GOTO10 (LOOP)", KindStatement, "IF[#1GT0]GOTO10 (LOOP)"},
        // Keywords found wherever they fall: across eight-byte steps, at
        // the end, after double-byte text; "G" and "O" apart are no GOTO.
        {"N123456GOTO5", KindStatement, "N123456GOTO5"},
        {"N123456IF", KindStatement, "N123456IF"},
        {"N1234567WHILE", KindStatement, "N1234567WHILE"},
        {"N12345 X1 Y2 #3=4", KindStatement, "N12345 X1 Y2 #3=4"},
        {"X\x82\x60\x82\x61 Y1 EQ", KindStatement, "X\x82\x60\x82\x61 Y1 EQ"},
        {"G0 O1 T2 D3 G4 O5", KindWords, "G0:1 O1:1 T2:1 D3:1 G4:1 O5:1"},
        {"X1 Y\x82\x60\x82\x61\x82\x62 Z3", KindWords, "X1:1 Z3:1"},
        {"12.5 30 -4.0 7", KindBareNumbers, "X12.5:0 Y30:1 Z-4:0"},
        {"g01 x1.", KindBareNumbers, "X1:1 Y1:0"},
        {"", KindBareNumbers, ""},
        {"%", KindBareNumbers, ""},
        {"(ONLY A COMMENT)", KindBareNumbers, ""},
    };
    for (const Row& row : rows) {
        NcBlockText block = analyse(row.line);
        EXPECT_EQ(block.kind, row.kind) << row.line;
        EXPECT_STREQ(block.text, row.line);
        bool statement = row.kind == KindStatement;
        EXPECT_EQ(statement ? block.statement : describeWords(block), row.words) << row.line;
    }
}

// The loader analyses lines in place in the file: the result must be the
// terminated analysis's, without reading one byte past the line (ASan
// watches the exact-size copy), and a NUL ends the words but not the text.
TEST(NcAddrAnalysisBytes, MatchesTheTerminatedAnalysisWithinTheLine) {
    const std::string rows[] = {
        "N10 G01 X10. Y-5 F200",
        "G00 X1.(MOVE) Y2.(END)",
        "(A(B)C)G01 X7.",
        "#100=#100+1",
        "12.5 30 -4.0 7",
        "   /G01 X5.",
        "",
        "G01 X1234567.",
        std::string(126, 'Y'),
        std::string(127, 'Y'),
        std::string(200, 'Z') + " X1",
        "N1(" + std::string(140, 'C'),
        "G01 Y1. (X5. " + std::string(120, 'A') + ")",
    };
    for (const std::string& line : rows) {
        std::unique_ptr<char[]> exact(new char[line.size()]);
        memcpy(exact.get(), line.data(), line.size());
        NcBlockText bytes;
        ncAddrAnalysisBytes(&bytes, exact.get(), line.size());
        const NcBlockText terminated = analyse(line);
        EXPECT_EQ(memcmp(&bytes, &terminated, sizeof bytes), 0) << line;
    }
    const char withNul[] = {'G', '0', '1', ' ', 'X', '1', '.', '\0', 'Y', '2', '.'};
    NcBlockText block;
    ncAddrAnalysisBytes(&block, withNul, sizeof withNul);
    EXPECT_EQ(describeWords(block), "G1:1 X1:0");
    EXPECT_EQ(memcmp(block.text, withNul, sizeof withNul), 0);
    EXPECT_EQ(block.text[sizeof withNul], '\0');
}

TEST(NcAddrAnalysis, LongLinesKeepTheirLimits) {
    std::string statement = "#1=[#2+#3]" + std::string(150, '1');
    NcBlockText block = analyse(statement);
    EXPECT_EQ(std::string(block.statement), statement.substr(0, kNcStatementMax));
    EXPECT_EQ(std::string(block.text), statement.substr(0, kNcLineMax));
    std::string twenty;
    for (char letter = 'A'; letter < 'A' + 20; ++letter) twenty += std::string(1, letter) + "1 ";
    block = analyse(twenty);
    EXPECT_EQ(block.words[kNcWordSlots - 1].letter, 'A' + kNcWordSlots - 1);
    EXPECT_EQ(ncAddrFind(&block, 'Q', 0.0f, nullptr), -1);
    // A comment whose ")" was cut off runs to the end of what is kept: its
    // words are no code, an "=" in it makes no statement. A line that ends
    // within the limit without ")" keeps the rule that blanks nothing.
    const std::string tail(118, 'A');
    EXPECT_EQ(describeWords(analyse("G01 Y1. (X5. D=6. " + tail + ")")), "G1:1 Y1:0");
    EXPECT_EQ(describeWords(analyse("G01 Y1. (X5.")), "G1:1 Y1:0 X5:0");
}

TEST(NcAddrAnalysis, ValuesMatchTheLibraryConversion) {
    for (const char* run : {"0.1", "-0.001", "123456.789", "9007199254740993", "1.2.3", "-.5",
                            "+7.", "0.0000000000000000000000001234", "123456789012345678901234"}) {
        EXPECT_EQ(float{analyse(std::string("X") + run).words[0].value},
                  static_cast<float>(strtod(run, nullptr)))
            << run;
    }
    // Every length around the 15 digits read without the library, with the
    // point anywhere, leading zeros and signs.
    unsigned seed = 7;
    for (int length = 1; length <= 19; ++length) {
        for (int pointAt = -1; pointAt <= length; ++pointAt) {
            std::string run = length % 3 == 0 ? "-" : length % 3 == 1 ? "+" : "";
            for (int k = 0; k < length; ++k) {
                if (k == pointAt) run += '.';
                seed = seed * 1103515245u + 12345u;
                run += static_cast<char>('0' + (k == 0 && pointAt % 2 ? 0 : (seed >> 16) % 10));
            }
            if (pointAt == length) run += '.';
            EXPECT_EQ(float{analyse("X" + run + "Y1").words[0].value},
                      static_cast<float>(strtod(run.c_str(), nullptr)))
                << run;
        }
    }
}

TEST(NcAddrFind, ScalesOnlyValuesWrittenWithoutPoint) {
    NcBlockText block = analyse("N10 G01 X10. Y-5 F200");
    float value = 1.0f;
    EXPECT_EQ(ncAddrFind(&block, 'Y', 0.001f, &value), 3);
    EXPECT_FLOAT_EQ(value, -0.005f);
    EXPECT_EQ(ncAddrFind(&block, 'Y', 0.0f, &value), 3);
    EXPECT_EQ(value, -5.0f);
    EXPECT_EQ(ncAddrFind(&block, 'X', 0.001f, &value), 2);
    EXPECT_EQ(value, 10.0f);
    EXPECT_EQ(ncAddrFind(&block, 'Z', 0.001f, &value), -1);
    EXPECT_EQ(value, 0.0f);
}

TEST(NcAddrSet, ChoosesTheSlotByLetter) {
    NcBlockText block = analyse("G01 X1.");
    EXPECT_EQ(ncAddrSet(&block, -1, NcAddressWord{'F', 100.0f, 0}), 1);
    EXPECT_EQ(block.words[15].letter, 'F');  // the highest empty slot
    EXPECT_EQ(ncAddrSetValue(&block, 'X', 2.0f, NcWordNoPoint), 1);
    EXPECT_EQ(ncAddrSet(&block, 4, NcAddressWord{'S', 9.0f, 0}), 1);
    EXPECT_EQ(describeWords(block), "G1:1 X2:1 S9:0 F100:0");
    for (char letter = 'A'; letter < 'Z'; ++letter) ncAddrSetValue(&block, letter, 1.0f, 0);
    EXPECT_EQ(ncAddrSetValue(&block, 'Z', 1.0f, 0), 0);  // every slot holds another letter
    EXPECT_EQ(ncAddrSet(&block, 16, NcAddressWord{'Z', 1.0f, 0}), 0);
}

}  // namespace
