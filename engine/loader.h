// Loading of NC files into the block store: lines are cut at CR/LF,
// rewritten by the machine's replacement pairs, optionally stripped of
// spaces, analysed and appended under their program numbers.
#pragma once

#include <cstdint>

#include "engine/block_store.h"
#include "engine/block_text.h"
#include "engine/machine_config.h"

struct NcModalState;
struct MotionRecord;

// NcProgressEvent::event is stage << 16 | phase.
constexpr uint32_t kNcStageLoading = 0;
constexpr uint32_t kNcStageTranslation = 1;
constexpr uint32_t kNcPhaseBegin = 0;
constexpr uint32_t kNcPhaseStep = 1;
constexpr uint32_t kNcPhaseEnd = 2;

constexpr uint32_t ncEventCode(uint32_t stage, uint32_t phase) {
    return stage << 16 | phase;
}
constexpr uint32_t ncEventStage(uint32_t event) {
    return event >> 16;
}
constexpr uint32_t ncEventPhase(uint32_t event) {
    return event & 0xFFFF;
}

// What the engine's long operations hand to their progress callback.
struct NcProgressEvent {
    uint32_t event;     // ncEventCode(stage, phase)
    uint32_t progress;  // step events: low 16 bits a percentage 0-100; high 16 bits the
                        // running program's number during translation; 0 otherwise
    NcBlockStore* store;
    const NcMachineConfig* config;
    NcModalState* state;         // translation only, else null
    const NcBlockText* block;    // step events: the block appended or executed
    const MotionRecord* motion;  // translation steps: the record produced
};

// Nonzero continues; 0 aborts (ignored for end events).
using NcProgressCallback = int (*)(const NcProgressEvent* event);

// Reads the NC file at path into store. mainProgram (optional) receives the
// program holding the file's first M02 or M30, or -1. Lines before the first
// positive O word go to a new automatic program (10000 or above), which is
// renumbered from the file name when the file has no O word ("P0123.NC" is
// program 123). Returns 1, or 0 after a failure (status recorded) or an
// abort by the callback (no status). The store is mapped again on success.
int32_t ncBlockLoading(NcBlockStore* store, const NcMachineConfig* config, const char* path,
                       int32_t* mainProgram, NcProgressCallback callback);

// Applies the replacement pairs of two parallel lists (NUL-separated, ended
// by an empty entry) to line, a buffer of kNcLineSize bytes, in place. Each
// plain pair replaces the first occurrence of its search text; the
// directives \find (the pair's replacement names the text to look for),
// \else and \end make the pairs between them conditional. A result longer
// than 127 bytes is cut there, or one byte earlier so that no double-byte
// character is split. Returns 1; 0 with a status for a plain pair whose two
// sides are equal ignoring case.
int32_t ncLineReplace(char* line, const char* replaceFrom, const char* replaceTo);
// Removes every space (0x20) from line in place; tabs stay. Returns 1.
int32_t ncLineDelSpace(char* line);
