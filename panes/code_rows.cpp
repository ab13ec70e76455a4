#include "panes/code_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

NcBlockText CodeEndRow() {
    NcBlockText end = {};
    end.kind = KindEmpty;
    end.lineIndex = -1;
    strcpy(end.text, "[EOF]");
    return end;
}

void CodeRowCellsOf(const NcBlockText& block, CodeRowCells* out) {
    const bool header = block.kind == KindFileHeader;
    out->image = header ? kCodeImageHeader
                        : ((block.breakMark & kNcBreakMark) != 0 ? kCodeImageBreak : kCodeImagePlain);
    out->line[0] = '\0';
    if (block.lineIndex >= 0) snprintf(out->line, sizeof out->line, "%05d", block.lineIndex + 1);
    // The block's text may fill its whole buffer without a terminator.
    const int length = static_cast<int>(strnlen(block.text, sizeof block.text));
    snprintf(out->code, sizeof out->code, header ? "[%.*s]" : "%.*s", length, block.text);
}

uint32_t CodeRowColor(const NcBlockText& block, bool isEnd, const uint32_t colorMap[16]) {
    if (isEnd || block.kind == KindFileHeader) return colorMap[kColorCodeFileRow];
    // A macro statement keeps text where other blocks keep words.
    if (block.kind != KindStatement && ncAddrFind(&block, 'O', 0.0f, nullptr) >= 0) {
        return colorMap[kColorCodeProgram];
    }
    const char* p = block.text;
    const char* end = block.text + sizeof block.text;
    while (p < end && *p == ' ') ++p;
    if (p < end && (*p == '/' || *p == '(')) return colorMap[kColorCodeComment];
    return colorMap[kColorCodeText];
}

int32_t CodeRowOfLine(NcBlockStore* blocks, int32_t program, int32_t lineIndex) {
    const int32_t count = ncBlockCount(blocks, program);
    if (count <= 0 || lineIndex < 0) return -1;
    // A program's blocks are the consecutive lines of one file (after its
    // header, line -1), so their line indexes rise: a binary search finds
    // the line in a program of millions of blocks at once.
    int32_t low = 0, high = count;
    NcBlockText block;
    while (low < high) {
        const int32_t mid = low + (high - low) / 2;
        if (ncBlockGet(blocks, program, mid, &block) != 1) return -1;
        if (block.lineIndex < lineIndex) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    if (low == count || ncBlockGet(blocks, program, low, &block) != 1 ||
        block.lineIndex != lineIndex)
        return -1;
    return ncBlockProgramToList(blocks, program, low);
}

std::vector<int32_t> NotedCodeRows(NcBlockStore* blocks, const NcNotes* notes) {
    std::vector<int32_t> rows;
    if (notes == nullptr) return rows;
    rows.reserve(static_cast<size_t>(notes->count));
    for (int32_t i = 0; i < notes->count; ++i) {
        const int32_t row =
            CodeRowOfLine(blocks, notes->notes[i].programNumber, notes->notes[i].lineIndex);
        if (row >= 0) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

ListFont ListFontOf(int baseHeight, int32_t statusBits) {
    ListFont font = {baseHeight, (statusBits & 0x1) != 0 ? 700 : 400, (statusBits & 0x2) != 0};
    if ((statusBits & 0x4) != 0) {
        font.height = static_cast<int>(baseHeight * 0.9);
    } else if ((statusBits & 0x8) != 0) {
        font.height = static_cast<int>(baseHeight * 1.4);
    }
    return font;
}
