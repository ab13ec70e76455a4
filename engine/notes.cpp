#include "engine/notes.h"

#include <cstdio>
#include <cstring>

#include "res/strings.h"

namespace {

constexpr int kMessage[kNcNoteKinds] = {
    IDS_NOTE_STATEMENT,    IDS_NOTE_VARIABLE,  IDS_NOTE_GCODE,      IDS_NOTE_MISSING_CALL,
    IDS_NOTE_ARC_RADIUS, IDS_NOTE_SPACED_WORD, IDS_NOTE_INCH,  IDS_NOTE_NO_POINT,
};

// Codes, inches and coordinates without a point are noted once per
// program, everything else once per line. The key
// holds kind, program and line (or code) exactly: 3 + 32 + 29 bits.
uint64_t keyOf(const NcNote& note) {
    const bool perCode =
        note.kind == kNcNoteGCode || note.kind == kNcNoteInch || note.kind == kNcNoteNoPoint;
    const uint32_t where = static_cast<uint32_t>(perCode ? note.code : note.lineIndex);
    return uint64_t{note.kind + 1u} << 61 | uint64_t{static_cast<uint32_t>(note.programNumber)} << 29 |
           (where & 0x1FFFFFFFu);
}

// False when the key was seen before. Once the table is three quarters
// full every further note counts, repeated or not.
bool firstTime(NcNotes* notes, uint64_t key) {
    if (notes->seenCount >= kNcNotesSeen / 4 * 3) return true;
    uint64_t slot = (key * 0x9E3779B97F4A7C15ull) >> 51;  // 13 bits: kNcNotesSeen slots
    while (notes->seen[slot] != 0) {
        if (notes->seen[slot] == key) return false;
        slot = (slot + 1) % kNcNotesSeen;
    }
    notes->seen[slot] = key;
    notes->seenCount += 1;
    return true;
}
static_assert(kNcNotesSeen == 1 << 13);

void add(NcNotes* notes, const NcNote& note) {
    if (!firstTime(notes, keyOf(note))) return;
    notes->total[note.kind] += 1;
    if (notes->count < kNcNotesKept) notes->notes[notes->count++] = note;
}

// A line taken for a macro statement only for a keyword or "=" somewhere
// in free text (a "%" line of words, a remark without parentheses) is no
// macro: it is not noted as one. Macros use variables or jump.
bool looksLikeMacro(const NcBlockText* block) {
    const char* text = block->text;
    return memchr(text, '#', sizeof block->text) != nullptr || strstr(text, "GOTO") != nullptr ||
           strstr(text, "WHILE") != nullptr || strstr(text, "IF[") != nullptr;
}

}  // namespace

void ncNotesClear(NcNotes* notes) {
    notes->count = 0;
    notes->seenCount = 0;
    memset(notes->total, 0, sizeof notes->total);
    memset(notes->seen, 0, sizeof notes->seen);
}

void ncNotesTake(NcNotes* notes, const NcModalState* state, const NcBlockText* block) {
    for (int kind = 0; kind < kNcNoteKinds; ++kind) {
        if ((state->blockNotes & ncNoteBit(static_cast<NcNoteKind>(kind))) == 0) continue;
        if (kind == kNcNoteStatement && !looksLikeMacro(block)) continue;
        NcNote note = {state->noteProgram, block->lineIndex, static_cast<NcNoteKind>(kind), 0, {}};
        switch (note.kind) {
            case kNcNoteGCode: note.code = state->noteGCode; break;
            case kNcNoteMissingCall: note.code = state->noteCalledProgram; break;
            case kNcNoteArcRadius:
                note.values[0] = state->noteRadii[0];
                note.values[1] = state->noteRadii[1];
                break;
            case kNcNoteNoPoint: note.values[0] = state->noteIncrement; break;
            default: break;
        }
        add(notes, note);
    }
}

uint64_t ncNotesTotal(const NcNotes* notes) {
    uint64_t sum = 0;
    for (uint64_t n : notes->total) sum += n;
    return sum;
}

size_t ncNoteText(const NcNote& note, char* out, size_t size) {
    if (size == 0) return 0;
    const char* format = tlvString(kMessage[note.kind]);
    int n = 0;
    switch (note.kind) {
        case kNcNoteGCode: {
            char code[16];
            if (note.code % 10 != 0) {
                snprintf(code, sizeof code, "%d.%d", note.code / 10, note.code % 10);
            } else {
                snprintf(code, sizeof code, "%02d", note.code / 10);
            }
            n = snprintf(out, size, format, code);
            break;
        }
        case kNcNoteMissingCall: n = snprintf(out, size, format, note.code); break;
        case kNcNoteArcRadius:
            n = snprintf(out, size, format, static_cast<double>(note.values[0]),
                         static_cast<double>(note.values[1]));
            break;
        case kNcNoteNoPoint: n = snprintf(out, size, format, static_cast<double>(note.values[0])); break;
        default: n = snprintf(out, size, "%s", format); break;
    }
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}
