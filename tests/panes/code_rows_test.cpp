#include "panes/code_rows.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

NcBlockText blockOf(const char* line, int32_t lineIndex = 0, bool mark = false) {
    NcBlockText block = {};
    ncAddrAnalysis(&block, line);
    block.lineIndex = lineIndex;
    if (mark) block.breakMark = kNcBreakMark;
    return block;
}

NcBlockText headerOf(const char* path, bool mark = false) {
    NcBlockText block = {};
    block.kind = KindFileHeader;
    block.lineIndex = -1;
    block.breakMark = mark ? kNcBreakMark : 0;
    strcpy(block.text, path);
    return block;
}

TEST(CodeRows, CellsOfHeaderPlainMarkedAndEndRows) {
    const struct {
        NcBlockText block;
        int image;
        const char* line;
        const char* code;
    } cases[] = {
        {headerOf("C:\\nc\\a.nc"), kCodeImageHeader, "", "[C:\\nc\\a.nc]"},
        {headerOf("a.nc", true), kCodeImageHeader, "", "[a.nc]"},  // a header shows no mark
        {blockOf("G01 X10."), kCodeImagePlain, "00001", "G01 X10."},
        {blockOf("G01 X10.", 122, true), kCodeImageBreak, "00123", "G01 X10."},
        {codeEndRow(), kCodeImagePlain, "", "[EOF]"},
    };
    for (const auto& c : cases) {
        CodeRowCells cells;
        codeRowCells(c.block, &cells);
        EXPECT_EQ(cells.image, c.image) << c.code;
        EXPECT_STREQ(cells.line, c.line) << c.code;
        EXPECT_STREQ(cells.code, c.code);
    }
    NcBlockText full = blockOf("G00");
    memset(full.text, 'X', sizeof full.text);  // no terminator at all
    CodeRowCells cells;
    codeRowCells(full, &cells);
    EXPECT_EQ(strlen(cells.code), sizeof full.text);
}

TEST(CodeRows, RowColoursByKind) {
    uint32_t colorMap[16];
    for (int i = 0; i < 16; ++i) colorMap[i] = 0x1000u + static_cast<uint32_t>(i);
    const struct {
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
    for (const auto& c : cases) {
        EXPECT_EQ(codeRowColor(c.block, c.isEnd, colorMap), colorMap[c.entry]) << c.block.text;
    }
}

TEST(CodeRows, ListFontFromStatusBits) {
    const struct {
        int bits;
        int height;
        int weight;
        bool italic;
    } cases[] = {
        {0x0, -20, 400, false}, {0x1, -20, 700, false}, {0x2, -20, 400, true},
        {0x4, -18, 400, false}, {0x8 | 0x1, -28, 700, false}, {0xC, -18, 400, false},
    };
    for (const auto& c : cases) {
        ListFont font = listFontOf(-20, c.bits);
        EXPECT_EQ(font.height, c.height) << c.bits;
        EXPECT_EQ(font.weight, c.weight) << c.bits;
        EXPECT_EQ(font.italic, c.italic) << c.bits;
    }
}

}  // namespace
