// Notes on what a program holds that the drawing does not show as written:
// macro statements, variables, codes that move the tool in ways the
// interpreter does not follow, calls of programs that are not loaded, arcs
// that end off their circle. The interpreter and the translation mark the
// block they have just run; ncNotesTake keeps one note per line (per code
// and program for codes), bounded, so a program of millions of bad lines
// cannot grow memory. Notes never change records, report or exports.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/block_text.h"
#include "engine/modal_state.h"

enum NcNoteKind : uint8_t {
    kNcNoteStatement,   // a macro statement: not executed
    kNcNoteVariable,    // an address word with a variable, read as a number
    kNcNoteGCode,       // a G code that moves or transforms the tool, not followed
    kNcNoteMissingCall, // M98, G65 or G66 of a program that is not loaded
    kNcNoteArcRadius,   // start and end radius of an arc differ
    kNcNoteSpacedWord,  // a word dropped at a space inside it
    kNcNoteInch,        // G20: figures stay in the program's units
    kNcNoteNoPoint,     // a coordinate without a point, read in the machine's increment
    kNcNoteKinds
};

constexpr uint32_t ncNoteBit(NcNoteKind kind) {
    return 1u << kind;
}

struct NcNote {
    int32_t programNumber;
    int32_t lineIndex;  // 0-based line in the program's file
    NcNoteKind kind;
    int32_t code;       // G code times 10 (kNcNoteGCode), called program (kNcNoteMissingCall)
    float values[2];    // start and end radius (kNcNoteArcRadius), increment (kNcNoteNoPoint)
};

constexpr int kNcNotesKept = 2000;
constexpr int kNcNotesSeen = 8192;  // keys of the notes taken, for one note per line

struct NcNotes {
    int32_t count;                 // notes kept, the first kNcNotesKept
    uint64_t total[kNcNoteKinds];  // every note taken, kept or not
    int32_t seenCount;
    NcNote notes[kNcNotesKept];
    uint64_t seen[kNcNotesSeen];  // open addressing; 0 = free
};

void ncNotesClear(NcNotes* notes);
// Takes the notes that state->blockNotes marks for block, the block just
// run by the translation in program state->noteProgram.
void ncNotesTake(NcNotes* notes, const NcModalState* state, const NcBlockText* block);
// Every note taken, kept or not.
uint64_t ncNotesTotal(const NcNotes* notes);
// The note's message (CP932, no file or line); returns its length.
size_t ncNoteText(const NcNote& note, char* out, size_t size);
