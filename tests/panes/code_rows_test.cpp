#include "panes/code_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

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
        {CodeEndRow(), kCodeImagePlain, "", "[EOF]"},
    };
    for (const auto& c : cases) {
        CodeRowCells cells;
        CodeRowCellsOf(c.block, &cells);
        EXPECT_EQ(cells.image, c.image) << c.code;
        EXPECT_STREQ(cells.line, c.line) << c.code;
        EXPECT_STREQ(cells.code, c.code);
    }
    NcBlockText full = blockOf("G00");
    memset(full.text, 'X', sizeof full.text);  // no terminator at all
    CodeRowCells cells;
    CodeRowCellsOf(full, &cells);
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
        {CodeEndRow(), true, kColorCodeFileRow},
        {blockOf("O1000(MAIN)"), false, kColorCodeProgram},
        {blockOf("  (COMMENT)"), false, kColorCodeComment},
        {blockOf("/N10 G00 X0"), false, kColorCodeComment},
        {blockOf("G01 X1. (CUT)"), false, kColorCodeText},
        {blockOf("#100=1"), false, kColorCodeText},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodeRowColor(c.block, c.isEnd, colorMap), colorMap[c.entry]) << c.block.text;
    }
}

// Programs as loading leaves them: a header (line -1), then rising lines;
// the second program starts mid-file and misses line 7.
TEST(CodeRows, NotesFindTheRowsOfTheirLines) {
    NcBlockStore* store = ncBlockCreate();
    ASSERT_NE(store, nullptr);
    const int32_t lines[][2] = {{1, -1}, {1, 0}, {1, 1}, {1, 2}, {1, 3},
                                {1, 4},  {2, 5}, {2, 6}, {2, 8}, {2, 9}};  // program, line
    for (const auto& l : lines) {
        const NcBlockText block = blockOf("G00", l[1]);
        ASSERT_EQ(ncBlockAppend(store, "a.nc", l[0], &block), 1);
    }
    const struct {
        int32_t program, line, row;
    } cases[] = {
        {1, 0, 1}, {1, 4, 5}, {2, 5, 6}, {2, 9, 9}, {2, 7, -1}, {1, 5, -1}, {1, -1, -1}, {3, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodeRowOfLine(store, c.program, c.line), c.row) << c.program << ":" << c.line;
    }
    auto notes = std::make_unique<NcNotes>();
    ncNotesClear(notes.get());
    const NcNote kept[] = {{2, 9, kNcNoteStatement, 0, {}},
                           {1, 0, kNcNoteVariable, 0, {}},
                           {2, 9, kNcNoteArcRadius, 0, {}},
                           {3, 0, kNcNoteStatement, 0, {}}};
    for (const NcNote& note : kept) notes->notes[notes->count++] = note;
    EXPECT_EQ(NotedCodeRows(store, notes.get()), (std::vector<int32_t>{1, 9}));
    ncBlockDestroy(store);
}

}  // namespace
