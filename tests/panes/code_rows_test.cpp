#include "panes/code_rows.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

NcBlockText blockOf(const char* line) {
    NcBlockText block = {};
    ncAddrAnalysis(&block, line);
    return block;
}

NcBlockText headerOf(const char* path) {
    NcBlockText block = {};
    block.kind = KindFileHeader;
    block.lineIndex = -1;
    strcpy(block.text, path);
    return block;
}

uint32_t colorMap[16];

class CodeRows : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 16; ++i) colorMap[i] = 0x1000u + static_cast<uint32_t>(i);
    }
};

TEST_F(CodeRows, CellsOfHeaderPlainMarkedAndEndRows) {
    struct Case {
        NcBlockText block;
        int lineIndex;
        bool mark;
        int image;
        const char* line;
        const char* code;
    } cases[] = {
        {headerOf("C:\\nc\\a.nc"), -1, false, kCodeImageHeader, "", "[C:\\nc\\a.nc]"},
        {blockOf("G01 X10."), 0, false, kCodeImagePlain, "00001", "G01 X10."},
        {blockOf("G01 X10."), 122, true, kCodeImageBreak, "00123", "G01 X10."},
        {codeEndRow(), -1, false, kCodeImagePlain, "", "[EOF]"},
    };
    for (Case& c : cases) {
        if (c.block.kind != KindFileHeader && c.lineIndex >= 0) c.block.lineIndex = c.lineIndex;
        if (c.mark) c.block.breakMark = kNcBreakMark;
        CodeRowCells cells;
        codeRowCells(c.block, &cells);
        EXPECT_EQ(cells.image, c.image) << c.code;
        EXPECT_STREQ(cells.line, c.line) << c.code;
        EXPECT_STREQ(cells.code, c.code);
    }
}

TEST_F(CodeRows, HeaderIgnoresBreakMarkAndFullTextNeedsNoTerminator) {
    NcBlockText header = headerOf("a.nc");
    header.breakMark = kNcBreakMark;
    CodeRowCells cells;
    codeRowCells(header, &cells);
    EXPECT_EQ(cells.image, kCodeImageHeader);

    NcBlockText full = blockOf("G00");
    memset(full.text, 'X', sizeof full.text);  // no terminator at all
    codeRowCells(full, &cells);
    EXPECT_EQ(strlen(cells.code), sizeof full.text);
}

TEST_F(CodeRows, RowColoursByKind) {
    struct Case {
        NcBlockText block;
        bool isEnd;
        int entry;
    } cases[] = {
        {headerOf("a.nc"), false, kColorCodeFileRow},
        {codeEndRow(), true, kColorCodeFileRow},
        {blockOf("O1000(MAIN)"), false, kColorCodeProgram},
        {blockOf("  (COMMENT)"), false, kColorCodeComment},
        {blockOf("/N10 G00 X0"), false, kColorCodeComment},
        {blockOf("G01 X1. (CUT)"), false, kColorCodeText},
        {blockOf("#100=1"), false, kColorCodeText},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codeRowColor(c.block, c.isEnd, colorMap), colorMap[c.entry]) << c.block.text;
    }
}

TEST_F(CodeRows, ListFontFromStatusBits) {
    struct Case {
        int bits;
        int height;
        int weight;
        bool italic;
    } cases[] = {
        {0x0, -20, 400, false}, {0x1, -20, 700, false}, {0x2, -20, 400, true},
        {0x4, -18, 400, false}, {0x8 | 0x1, -28, 700, false}, {0xC, -18, 400, false},
    };
    for (const Case& c : cases) {
        ListFont font = listFontOf(-20, c.bits);
        EXPECT_EQ(font.height, c.height) << c.bits;
        EXPECT_EQ(font.weight, c.weight) << c.bits;
        EXPECT_EQ(font.italic, c.italic) << c.bits;
    }
}

}  // namespace
