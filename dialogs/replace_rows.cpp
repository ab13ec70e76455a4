#include "dialogs/replace_rows.h"

#include "definitions/profile_item.h"

#include <cstring>

namespace {

void setPair(ReplaceRows* rows, int row, const char* org, const char* dst) {
    CopyTextCut(rows->org[row], kMachineTextSize, org, strlen(org));
    CopyTextCut(rows->dst[row], kMachineTextSize, dst, strlen(dst));
}

}  // namespace

void LoadReplaceRows(const MachineDefinition& machine, ReplaceRows* rows) {
    memset(rows, 0, sizeof *rows);
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        if (machine.replaceOrg[k][0] == '\0') continue;
        setPair(rows, rows->count++, machine.replaceOrg[k], machine.replaceDst[k]);
    }
}

void StoreReplaceRows(const ReplaceRows& rows, MachineDefinition* machine) {
    memset(machine->replaceOrg, 0, sizeof machine->replaceOrg);
    memset(machine->replaceDst, 0, sizeof machine->replaceDst);
    memcpy(machine->replaceOrg, rows.org, sizeof rows.org[0] * static_cast<size_t>(rows.count));
    memcpy(machine->replaceDst, rows.dst, sizeof rows.dst[0] * static_cast<size_t>(rows.count));
}

int AddReplaceRow(ReplaceRows* rows, const char* org, const char* dst) {
    if (org[0] == '\0' || rows->count >= kMachineReplacePairs) return -1;
    setPair(rows, rows->count, org, dst);
    return rows->count++;
}

int DeleteReplaceRow(ReplaceRows* rows, int row) {
    if (row < 0 || row >= rows->count) return -1;
    const size_t after = static_cast<size_t>(rows->count - row - 1);
    memmove(rows->org[row], rows->org[row + 1], after * kMachineTextSize);
    memmove(rows->dst[row], rows->dst[row + 1], after * kMachineTextSize);
    --rows->count;
    memset(rows->org[rows->count], 0, kMachineTextSize);
    memset(rows->dst[rows->count], 0, kMachineTextSize);
    if (rows->count == 0) return -1;
    return row < rows->count ? row : rows->count - 1;
}

bool ApplyReplaceRow(ReplaceRows* rows, int row, const char* org, const char* dst) {
    if (org[0] == '\0' || row < 0 || row >= rows->count) return false;
    setPair(rows, row, org, dst);
    return true;
}
