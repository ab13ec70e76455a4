#include "engine/notes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// However many bad lines a program holds, the notes keep a bounded number
// and count the rest; a line run again adds nothing.
TEST(Notes, KeepABoundedNumberAndCountTheRest) {
    auto notes = std::make_unique<NcNotes>();
    auto state = std::make_unique<NcModalState>();
    ncNotesClear(notes.get());
    *state = {};
    state->blockNotes = ncNoteBit(kNcNoteStatement);
    state->noteProgram = 1;
    NcBlockText block = {};
    strcpy(block.text, "#1=1");
    for (int run = 0; run < 2; ++run) {
        for (int line = 0; line < 5000; ++line) {
            block.lineIndex = line;
            ncNotesTake(notes.get(), state.get(), &block);
        }
    }
    EXPECT_EQ(notes->count, kNcNotesKept);
    EXPECT_EQ(ncNotesTotal(notes.get()), 5000u);
    EXPECT_EQ(notes->notes[kNcNotesKept - 1].lineIndex, kNcNotesKept - 1);
}

}  // namespace
