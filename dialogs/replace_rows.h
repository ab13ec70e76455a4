// The rows of the replacement-string page: at most 32 pairs with a search
// text, edited by add, delete and apply, and written back in order on OK.
#pragma once

#include "definitions/machine_definition.h"

struct ReplaceRows {
    int count;
    char org[kMachineReplacePairs][kMachineTextSize];
    char dst[kMachineReplacePairs][kMachineTextSize];
};

// The pairs with a non-empty search text, in order.
void LoadReplaceRows(const MachineDefinition& machine, ReplaceRows* rows);
// Both arrays cleared, then the rows written into them in order.
void StoreReplaceRows(const ReplaceRows& rows, MachineDefinition* machine);
// Appends a pair, each text cut to 63 bytes on a character boundary.
// Returns the new row, or -1 (nothing added) for an empty search text or
// a full list.
int AddReplaceRow(ReplaceRows* rows, const char* org, const char* dst);
// Deletes row; returns the row to select then (the one now at that
// position, else the last), or -1 when the list became empty or row is not
// a row.
int DeleteReplaceRow(ReplaceRows* rows, int row);
// Replaces row with the pair; false for an empty search text or no row.
bool ApplyReplaceRow(ReplaceRows* rows, int row, const char* org, const char* dst);
