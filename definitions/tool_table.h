// The tool table (TDL file): name, diameter, length and corner radius of
// each tool number T0 to T99.
#pragma once

#include <type_traits>

constexpr int kToolCount = 100;
constexpr int kToolNameSize = 32;  // 31 characters and the NUL
constexpr int kToolFileVersion = 89;

struct ToolEntry {
    char toolName[kToolNameSize];
    float diameter;
    float length;
    float cornerRadius;  // of the cutting edge; drawn, not edited
};

struct ToolTable {
    ToolEntry entries[kToolCount];  // entry k is tool number k; all zero by default
};
static_assert(std::is_trivially_copyable_v<ToolTable>);

// Reads the tool file at path (ResolveDefinitionPath); a missing file, a
// missing key or a malformed entry gives zero entries. Returns 1, or 0 for
// a null path (the file dialog that a null path opens belongs to the GUI).
// A file that could not be read or was refused gives zero entries and 0,
// with messageId as for ReadMachineFile.
int ReadToolFile(const char* path, ToolTable* tools, int* messageId = nullptr);
// Writes all 100 entries, keeping the file's other lines. A "[" or "]" in
// a name is written as "(" or ")": the entry's fields are bracketed, and a
// bracket in the name would move every following field. 1 when written, 0
// when nothing was.
int WriteToolFile(const char* path, const ToolTable& tools);
