// What one row of the code list shows: its image, its two texts and its
// colour, worked out from a block of the store. Portable, so that the rules
// are tested on every build; the Windows list only paints the result.
#pragma once

#include "engine/block_store.h"
#include "engine/block_text.h"
#include "engine/notes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Row images of the code list's image list.
enum CodeRowImage { kCodeImagePlain = 0, kCodeImageBreak = 1, kCodeImageHeader = 2 };

// ColorMap entries the code list uses.
constexpr int kColorCodeText = 10;
constexpr int kColorCodeProgram = 12;
constexpr int kColorCodeComment = 13;
constexpr int kColorCodeFileRow = 14;

// Cell texts of a row, valid until the next call for the same object.
struct CodeRowCells {
    int image;
    char line[16];    // "%05d" of the 1-based line, or empty
    char code[512];   // the text, "[name]" for a file header, "[EOF]" for the end row
};

// The pseudo block shown in the row after the last block.
NcBlockText CodeEndRow();

// Fills the cells of a block's row.
void CodeRowCellsOf(const NcBlockText& block, CodeRowCells* out);

// The colour of a block's row: the file-row colour for headers and the end
// row (isEnd), the program colour when the block holds an O word, the
// comment colour for text starting with "/" or "(" after spaces, else the
// list's text colour.
uint32_t CodeRowColor(const NcBlockText& block, bool isEnd, const uint32_t colorMap[16]);

// The row (list index) of the block holding line lineIndex (0-based) of
// program, or -1 when the program holds no such line.
int32_t CodeRowOfLine(NcBlockStore* blocks, int32_t program, int32_t lineIndex);
// The rows whose block has a kept note, ascending and each once: built once
// after a load, so that painting a row only looks itself up here.
std::vector<int32_t> NotedCodeRows(NcBlockStore* blocks, const NcNotes* notes);

// Font of the code and register lists from their "Status" bits: 0x1 bold,
// 0x2 italic, 0x4 small (x 0.9), 0x8 large (x 1.4); small wins over large.
struct ListFont {
    int height;  // the base height scaled, sign kept (negative = character height)
    int weight;  // 700 bold, else 400
    bool italic;
};
ListFont ListFontOf(int baseHeight, int32_t statusBits);
