// Program translation over the call stack of NcModalState.
//
// Frame 0 runs the main program; a call pushes a frame that starts at the
// called program's first block (or at the block M98's H names) and pops
// when that program reaches M99 or its last block. A call with L runs the
// program L times, restarting at the same block. Programs are numbered by
// their O words; a call may not enter a program that is already running at
// any level, which is how recursion is caught before the stack fills.
#include "engine/translate.h"

#include <cstring>

#include "engine/block_store_detail.h"
#include "engine/interpreter_detail.h"
#include "engine/notes.h"
#include "engine/status.h"

namespace {

constexpr const char* kArgsError = "Error::ncBlockTranslateEx(args)";

// Call words are plain numbers: no integer-to-real scaling.
int32_t rawWord(const NcBlockText* block, char letter) {
    float value = 0.0f;
    ncAddrFind(block, letter, 0.0f, &value);
    return ncTruncate(value);
}

// Runs due from an L word; a negative count runs once like an absent one,
// and keeping it at 0 or above leaves its decrement defined.
int32_t repeatWord(const NcBlockText* block) {
    int32_t count = rawWord(block, 'L');
    return count > 0 ? count : 0;
}

bool isSet(const uint32_t set[4], int n) {
    return ncModalBit(set, n);
}

bool anyFrame(const NcModalState* state, bool (*match)(const NcCallFrame&, int32_t),
              int32_t value) {
    for (int level = 0; level <= state->callLevel; ++level) {
        if (match(state->callStack[level], value)) return true;
    }
    return false;
}

bool runsProgram(const NcCallFrame& frame, int32_t program) {
    return frame.programNumber == program;
}

bool enteredAs(const NcCallFrame& frame, int32_t kind) {
    return frame.callKind == kind;
}

int32_t blockCount(NcBlockStore* store, int32_t program) {
    return program < 0 ? -1 : ncBlockCount(store, program);
}

// The index of the first block of program whose N word is number, or -1.
// Returns 0 when a block cannot be read (status recorded), else 1.
int32_t findSequenceNumber(NcBlockStore* store, int32_t program, int32_t number, int32_t* index) {
    *index = -1;
    int32_t count = blockCount(store, program);
    NcBlockText candidate;
    for (int32_t i = 0; i < count; ++i) {
        if (!ncBlockGet(store, program, i, &candidate)) return 0;
        if (ncAddrFind(&candidate, 'N', 0.0f, nullptr) >= 0 && rawWord(&candidate, 'N') == number) {
            *index = i;
            return 1;
        }
    }
    return 1;
}

// The program of the frame has ended (M99 or past its last block): repeat
// it, return to the caller, or, for the main program, go on with the next
// program of the store.
void endProgram(NcBlockStore* store, NcModalState* state, NcCallFrame* frame) {
    frame->repeatCount -= 1;
    if (frame->repeatCount > 0) {
        frame->nextBlock = frame->restartBlock;
        return;
    }
    int32_t saved = frame->savedDistanceMode;
    if (frame->callKind == kNcCallG66 && (saved == 90 || saved == 91)) {
        // A modal macro may switch to G91 for its own moves; the caller
        // goes on in the distance mode it had.
        state->gModal[2] &= ~(3u << (90 - 64));
        state->gModal[saved >> 5] |= 1u << (saved & 31);
    }
    int32_t program = frame->programNumber;
    state->callLevel -= 1;
    if (state->callLevel >= 0) return;
    // A main program without M02 or M30 runs on into the next program.
    state->callLevel = 0;
    memset(&state->callStack[0], 0, sizeof state->callStack[0]);
    state->callStack[0].programNumber = ncBlockNext(store, program);
    if (state->callStack[0].programNumber < 0) state->translationEnded = 1;
}

// The call a block makes, if any. A G66 macro follows every block of the
// modal program that moved, but not the moves of the macro itself.
// Returns 0 when a block cannot be read (status recorded), else 1.
int32_t pendingCall(NcBlockStore* store, const NcModalState* state, const MotionRecord* motion,
                    NcCallFrame* call) {
    memset(call, 0, sizeof *call);
    if (isSet(state->gModal, 66) && motion->kind != kMotionNone &&
        !anyFrame(state, enteredAs, kNcCallG66)) {
        call->programNumber = rawWord(&state->modalCallBlock, 'P');
        call->repeatCount = repeatWord(&state->modalCallBlock);
        call->callKind = kNcCallG66;
    } else if (isSet(state->gModal, 65)) {
        call->programNumber = rawWord(&state->callBlock, 'P');
        call->repeatCount = repeatWord(&state->callBlock);
        call->callKind = kNcCallG65;
    } else if (isSet(state->mModal, 98)) {
        call->programNumber = rawWord(&state->callBlock, 'P');
        int32_t sequence = rawWord(&state->callBlock, 'H');
        if (sequence > 0) {
            int32_t start;
            if (!findSequenceNumber(store, call->programNumber, sequence, &start)) return 0;
            if (start >= 0) call->nextBlock = call->restartBlock = start;
        }
        call->repeatCount = repeatWord(&state->callBlock);
        call->callKind = kNcCallM98;
    }
    call->savedDistanceMode = isSet(state->gModal, 90) ? 90 : 91;
    return 1;
}

// Whether any code that calls a program is in effect: most blocks make
// no call, and this spares them the look at the call words.
bool mayCall(const NcModalState* state) {
    return isSet(state->gModal, 65) || isSet(state->gModal, 66) || isSet(state->mModal, 98);
}

NcProgressEvent translationEvent(uint32_t phase, NcBlockStore* store, const NcMachineConfig* config,
                                 NcModalState* state) {
    return {ncEventCode(kNcStageTranslation, phase), 0, store, config, state, nullptr, nullptr};
}

}  // namespace

int32_t ncBlockTranslateEx(NcBlockStore* store, const NcMachineConfig* config, NcModalState* state,
                           NcBlockText* block, MotionRecord* motion) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, kArgsError, 0);
    if (config == nullptr || state == nullptr || block == nullptr || motion == nullptr) {
        return ncFail(NcStatusInvalidArgument, kArgsError, 0);
    }
    if (state->callLevel < 0 || state->callLevel >= kNcCallLevels) {
        return ncFail(NcStatusInvalidHandle, "Error::ncBlockTranslateEx(level)", 0);
    }
    if (state->translationEnded) return 0;

    NcCallFrame* frame = &state->callStack[state->callLevel];
    int32_t count = -1;
    if (!ncBlockFetch(store, frame->programNumber, frame->nextBlock, &count, block)) return 0;
    bool executed = frame->nextBlock < count;
    if (executed) {
        frame->nextBlock += 1;
        if (!ncModalUpdate(config, state, block, motion)) return 0;
        state->noteProgram = frame->programNumber;
    } else {
        // A call of a missing program executes nothing. The step's record
        // says so; handing on the previous one would draw and export that
        // move twice.
        int16_t programNumber = motion->programNumber, toolNumber = motion->toolNumber;
        memset(motion, 0, sizeof *motion);
        motion->programNumber = programNumber;
        motion->toolNumber = toolNumber;
    }
    // M02 and M30 end everything, also in a program's last block.
    bool endsAll = executed && (isSet(state->mModal, 2) || isSet(state->mModal, 30));

    // The end of a program is handled before calls, so a call written in a
    // program's very last block is not made.
    if (isSet(state->mModal, 99) || frame->nextBlock >= count) {
        endProgram(store, state, frame);
    } else if (mayCall(state)) {
        NcCallFrame call;
        if (!pendingCall(store, state, motion, &call)) return 0;
        if (call.programNumber > 0) {
            if (blockCount(store, call.programNumber) < 0) {
                state->blockNotes |= ncNoteBit(kNcNoteMissingCall);
                state->noteCalledProgram = call.programNumber;
            }
            if (anyFrame(state, runsProgram, call.programNumber)) {
                return ncFail(NcStatusSelfCall, block->text, 0);
            }
            if (state->callLevel + 1 >= kNcCallLevels) {
                return ncFail(NcStatusNestingOverflow, block->text, 0);
            }
            state->callLevel += 1;
            state->callStack[state->callLevel] = call;
        }
    }
    if (endsAll) state->translationEnded = 1;
    return 1;
}

int32_t ncBlockTranslate(NcBlockStore* store, const NcMachineConfig* config, NcModalState* state,
                         NcProgressCallback callback) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockTranslate(args)", 0);
    if (config == nullptr || state == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockTranslate(args)", 0);
    }
    state->translationEnded = 0;
    NcBlockText block{};
    MotionRecord motion{};
    NcProgressEvent event = translationEvent(kNcPhaseBegin, store, config, state);
    int32_t result = 0;
    // Programs do not grow during the translation: a count is looked up
    // once per change of the running program, not once per block.
    int32_t countedProgram = -1, count = -1;
    if (callback == nullptr || callback(&event) != 0) {
        for (;;) {
            if (ncBlockTranslateEx(store, config, state, &block, &motion) != 1) {
                result = ncStatus(kNcStatusRead, nullptr) == NcStatusNone ? 1 : 0;
                break;
            }
            if (callback == nullptr) continue;
            // High half: the running program; low half: how far into it.
            const NcCallFrame& frame = state->callStack[state->callLevel];
            if (frame.programNumber != countedProgram) {
                countedProgram = frame.programNumber;
                count = blockCount(store, countedProgram);
            }
            int64_t percent = count > 0 ? int64_t{frame.nextBlock} * 100 / count : 0;
            event.event = ncEventCode(kNcStageTranslation, kNcPhaseStep);
            event.progress = (static_cast<uint32_t>(frame.programNumber) & 0xFFFFu) << 16 |
                             (static_cast<uint32_t>(percent) & 0xFFFFu);
            event.block = &block;
            event.motion = &motion;
            if (callback(&event) == 0) break;  // aborted: no status
        }
    }
    if (callback != nullptr) {
        event = translationEvent(kNcPhaseEnd, store, config, state);
        callback(&event);
    }
    return result;
}
