// Which programs (O numbers) and tools (T numbers) the views, the trace and
// the exports show. Rebuilt with everything shown after every load.
#pragma once

#include <cstdint>

struct DisplayFilter {
    uint32_t programPresent[320];  // bit n: program n is loaded (1..9999)
    uint32_t programShown[320];
    uint32_t toolPresent[4];       // bit n: tool n was used (0..99)
    uint32_t toolShown[4];
};

void filterClear(DisplayFilter* filter);
// Marks a number present and shown; numbers the filter cannot hold are ignored.
void filterAddProgram(DisplayFilter* filter, int program);
void filterAddTool(DisplayFilter* filter, int tool);
bool filterProgramShown(const DisplayFilter* filter, int program);
bool filterToolShown(const DisplayFilter* filter, int tool);
void filterSetProgramShown(DisplayFilter* filter, int program, bool shown);
void filterSetToolShown(DisplayFilter* filter, int tool, bool shown);
// "All" and "Invert" over the present numbers of one list.
void filterShowAll(DisplayFilter* filter, bool programs);
void filterInvert(DisplayFilter* filter, bool programs);

// True unless the program is one of 1..9999 and hidden, or the tool is one
// of 1..99 and hidden. Program numbers outside that range and tool 0 are
// always shown.
bool IsRecordShown(const DisplayFilter* filter, int program, int tool);
