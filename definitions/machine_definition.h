// The machine definition (MDL file): how the NC control of one machine reads
// programs, and the rebuild of the engine configuration from it and the
// tool table.
#pragma once

#include "engine/machine_config.h"

#include <cstdint>
#include <type_traits>

struct ToolTable;
struct NcModalState;

constexpr int kMachineTextSize = 64;  // 63 characters and the NUL
constexpr int kMachineReplacePairs = 32;
constexpr int kMachineGCodes = 100;  // the G codes the file can name
constexpr int kMachineFileVersion = 89;

struct MachineDefinition {
    char machineName[kMachineTextSize];
    float scaleXYZ[3];  // below 0.000001 is repaired to 1 on read
    float scaleIJK[3];
    float itoF;                 // below 0.000001 is repaired to 0.001 on read
    uint32_t initialGModal[4];  // bit n: G code n is modal at program start
    // Replacement pairs applied to every loaded line; pair k is
    // replaceOrg[k] -> replaceDst[k]. The engine uses the pairs up to the
    // first empty search text.
    char replaceOrg[kMachineReplacePairs][kMachineTextSize];
    char replaceDst[kMachineReplacePairs][kMachineTextSize];
    float feedG00;    // rapid feed, mm/min, for time estimates
    float timeTC;     // seconds per tool change
    int32_t options;  // kNcOption* bits
};
static_assert(std::is_trivially_copyable_v<MachineDefinition>);

// The state a read starts from: name "Default", scales 1, ItoF 0.001,
// modal G00 G17 G40 G49 G67 G80 G90 G98, everything else zero.
void SetMachineDefaults(MachineDefinition* machine);

bool MachineGModal(const MachineDefinition& machine, int code);
void SetMachineGModal(MachineDefinition* machine, int code, bool modal);

// Reads the machine file at path (ResolveDefinitionPath); a file that does
// not exist, like any missing key, gives the defaults. Returns 1, or 0 for
// a null path (the file dialog that a null path opens belongs to the GUI)
// and for a file that could not be read or was refused (not a regular file,
// or too large): machine then holds the defaults and messageId (optional)
// the string id of the reason (LoadProfileFile).
int ReadMachineFile(const char* path, MachineDefinition* machine, int* messageId = nullptr);
// Writes every key of the machine file, keeping the file's other lines.
// The file is replaced as a whole: 1 when written, 0 when nothing was.
int WriteMachineFile(const char* path, const MachineDefinition& machine);

// Rebuilds config from the machine and the tool table and, when state is
// given, resets the interpreter to the machine's modal codes, so that a
// translation or trace starts from a clean state. Returns 1.
int BuildMachineConfig(const MachineDefinition& machine, const ToolTable& tools,
                       NcMachineConfig* config, NcModalState* state = nullptr);
