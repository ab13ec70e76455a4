// Program translation: executes the loaded programs block by block in the
// order a control would, following M98 subprogram calls, G65 macro calls
// and G66 modal macro calls on a stack of 32 frames, until M02 or M30 or
// until no program is left. Each step runs one block through ncModalUpdate.
#pragma once

#include <cstdint>

#include "engine/block_store.h"
#include "engine/block_text.h"
#include "engine/loader.h"
#include "engine/machine_config.h"
#include "engine/modal_state.h"
#include "engine/motion_record.h"

// One step: executes at most one block into block and motion, then moves
// the call stack. The caller resets state and puts the main program into
// frame 0 before the first step. Returns 1 after a step; 0 when the
// translation is over (no status) or after a failure (status recorded: the
// store's, NcStatusSelfCall or NcStatusNestingOverflow with the calling
// line as detail, or an argument or level error).
int32_t ncBlockTranslateEx(NcBlockStore* store, const NcMachineConfig* config, NcModalState* state,
                           NcBlockText* block, MotionRecord* motion);

// Runs the steps to the end, reporting them to callback (may be null) as
// translation events: begin, one step event per executed step with the
// block and record produced, and end. Returns 1 when the programs ran to
// their end; 0 on failure (status recorded) or when the callback answered 0
// (no status). The caller clears the status before, so that a status read
// at the end belongs to this translation.
int32_t ncBlockTranslate(NcBlockStore* store, const NcMachineConfig* config, NcModalState* state,
                         NcProgressCallback callback);
