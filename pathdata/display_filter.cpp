#include "pathdata/display_filter.h"

#include <cstring>

namespace {

constexpr int kProgramBits = 320 * 32;
constexpr int kToolBits = 4 * 32;

bool test(const uint32_t* set, int n) { return (set[n / 32] >> (n % 32)) & 1u; }

void assign(uint32_t* set, int n, bool on) {
    const uint32_t bit = 1u << (n % 32);
    set[n / 32] = on ? set[n / 32] | bit : set[n / 32] & ~bit;
}

bool validProgram(int n) { return n >= 1 && n <= 9999; }
bool validTool(int n) { return n >= 0 && n <= 99; }

}  // namespace

void filterClear(DisplayFilter* filter) { memset(filter, 0, sizeof *filter); }

void filterAddProgram(DisplayFilter* filter, int program) {
    if (!validProgram(program)) return;
    assign(filter->programPresent, program, true);
    assign(filter->programShown, program, true);
}

void filterAddTool(DisplayFilter* filter, int tool) {
    if (!validTool(tool)) return;
    assign(filter->toolPresent, tool, true);
    assign(filter->toolShown, tool, true);
}

bool filterProgramShown(const DisplayFilter* filter, int program) {
    return program >= 0 && program < kProgramBits && test(filter->programShown, program);
}

bool filterToolShown(const DisplayFilter* filter, int tool) {
    return tool >= 0 && tool < kToolBits && test(filter->toolShown, tool);
}

void filterSetProgramShown(DisplayFilter* filter, int program, bool shown) {
    if (validProgram(program)) assign(filter->programShown, program, shown);
}

void filterSetToolShown(DisplayFilter* filter, int tool, bool shown) {
    if (validTool(tool)) assign(filter->toolShown, tool, shown);
}

void filterShowAll(DisplayFilter* filter, bool programs) {
    if (programs) {
        memcpy(filter->programShown, filter->programPresent, sizeof filter->programShown);
    } else {
        memcpy(filter->toolShown, filter->toolPresent, sizeof filter->toolShown);
    }
}

void filterInvert(DisplayFilter* filter, bool programs) {
    uint32_t* shown = programs ? filter->programShown : filter->toolShown;
    const uint32_t* present = programs ? filter->programPresent : filter->toolPresent;
    const int words = programs ? 320 : 4;
    for (int i = 0; i < words; ++i) shown[i] = (shown[i] ^ present[i]) & present[i];
}

bool IsRecordShown(const DisplayFilter* filter, int program, int tool) {
    if (filter == nullptr) return true;
    if (validProgram(program) && !test(filter->programShown, program)) return false;
    if (tool >= 1 && tool <= 99 && !test(filter->toolShown, tool)) return false;
    return true;
}
