#include "definitions/machine_definition.h"

#include "engine/modal_state.h"

#include "definitions/profile_item.h"
#include "definitions/tool_table.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kGModalPerKey = 25;  // Gmodal1 holds G00-G24, Gmodal2 G25-G49, ...
// A Replace entry is read as up to 131 characters; a full "[org][dst]"
// needs 130.
constexpr int kReplaceEntrySize = 132;
constexpr float kSmallest = 0.000001f;

// The PostInfo keys in the order they are read and written. A GModal row
// is one of the four 25-value lists of modal codes.
enum class KeyKind { Field, GModal };
struct MachineKey {
    const char* key;
    KeyKind kind;
    ProfileEncoding encoding;
    size_t offset;  // Field: offset in MachineDefinition; GModal: first code
    int count;
};

constexpr MachineKey kPostInfo[] = {
    {"Name", KeyKind::Field, ProfileEncoding::Text, offsetof(MachineDefinition, machineName),
     kMachineTextSize},
    {"ScaleXYZ", KeyKind::Field, ProfileEncoding::Reals, offsetof(MachineDefinition, scaleXYZ), 3},
    {"ScaleIJK", KeyKind::Field, ProfileEncoding::Reals, offsetof(MachineDefinition, scaleIJK), 3},
    {"Options", KeyKind::Field, ProfileEncoding::Integers, offsetof(MachineDefinition, options), 1},
    {"ItoF", KeyKind::Field, ProfileEncoding::Reals, offsetof(MachineDefinition, itoF), 1},
    {"Gmodal1", KeyKind::GModal, ProfileEncoding::Integers, 0, kGModalPerKey},
    {"Gmodal2", KeyKind::GModal, ProfileEncoding::Integers, 25, kGModalPerKey},
    {"Gmodal3", KeyKind::GModal, ProfileEncoding::Integers, 50, kGModalPerKey},
    {"Gmodal4", KeyKind::GModal, ProfileEncoding::Integers, 75, kGModalPerKey},
    {"FeedG00", KeyKind::Field, ProfileEncoding::Reals, offsetof(MachineDefinition, feedG00), 1},
    {"TimeTC", KeyKind::Field, ProfileEncoding::Reals, offsetof(MachineDefinition, timeTC), 1},
};

constexpr int kDefaultGModal[] = {0, 17, 40, 49, 67, 80, 90, 98};

void* fieldOf(MachineDefinition* machine, size_t offset) {
    return reinterpret_cast<char*>(machine) + offset;
}
const void* fieldOf(const MachineDefinition& machine, size_t offset) {
    return reinterpret_cast<const char*>(&machine) + offset;
}

// Length of a 64-byte text field, at most 63 whole characters, so that a
// field filled to the brim without its NUL is still read safely.
size_t fieldLength(const char* text) {
    return TextCutLength(text, strnlen(text, kMachineTextSize), kMachineTextSize - 1);
}

void listKey(char* key, size_t size, int k) {
    snprintf(key, size, "List%02d", k);
}

void readReplacePairs(const ProfileFile& file, MachineDefinition* machine) {
    char key[16], entry[kReplaceEntrySize];
    std::string fields[2];
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        listKey(key, sizeof key, k);
        // The list ends at the first missing key; a malformed entry only
        // leaves its own pair empty.
        if (!ReadProfileItem(file, "Replace", key, ProfileEncoding::Text, entry, sizeof entry))
            break;
        if (!BracketFields(entry, 2, fields)) continue;
        CopyTextCut(machine->replaceOrg[k], kMachineTextSize, fields[0].data(), fields[0].size());
        CopyTextCut(machine->replaceDst[k], kMachineTextSize, fields[1].data(), fields[1].size());
    }
}

void readLegacyPairs(const ProfileFile& file, MachineDefinition* machine) {
    char key[16];
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        listKey(key, sizeof key, k);
        ReadProfileItem(file, "ReplaceOrg", key, ProfileEncoding::Text, machine->replaceOrg[k],
                        kMachineTextSize);
        ReadProfileItem(file, "ReplaceDst", key, ProfileEncoding::Text, machine->replaceDst[k],
                        kMachineTextSize);
    }
}

void repair(float* value, float replacement) {
    // Written so that a NaN, which compares false, is repaired as well.
    if (!(*value >= kSmallest)) *value = replacement;
}

}  // namespace

bool MachineGModal(const MachineDefinition& machine, int code) {
    if (code < 0 || code >= 128) return false;
    return (machine.initialGModal[code / 32] >> (code % 32)) & 1u;
}

void SetMachineGModal(MachineDefinition* machine, int code, bool modal) {
    if (code < 0 || code >= 128) return;
    uint32_t bit = 1u << (code % 32);
    if (modal) {
        machine->initialGModal[code / 32] |= bit;
    } else {
        machine->initialGModal[code / 32] &= ~bit;
    }
}

void SetMachineDefaults(MachineDefinition* machine) {
    memset(machine, 0, sizeof *machine);
    snprintf(machine->machineName, sizeof machine->machineName, "Default");
    for (int axis = 0; axis < 3; ++axis) {
        machine->scaleXYZ[axis] = 1.0f;
        machine->scaleIJK[axis] = 1.0f;
    }
    machine->itoF = 0.001f;
    for (int code : kDefaultGModal) SetMachineGModal(machine, code, true);
}

int ReadMachineFile(const char* path, MachineDefinition* machine, int* messageId) {
    if (messageId != nullptr) *messageId = 0;
    if (path == nullptr || machine == nullptr) return 0;
    ProfileFile file;
    const bool loaded = LoadProfileFile(&file, ResolveDefinitionPath(path).c_str(), messageId);
    SetMachineDefaults(machine);
    if (!loaded) return 0;

    int32_t version = 0;
    ReadProfileItem(file, "Info", "Version", ProfileEncoding::Integers, &version, 1);
    // A missing or short Gmodal key keeps the defaults of the codes it does
    // not name.
    int32_t gmodal[kMachineGCodes];
    for (int code = 0; code < kMachineGCodes; ++code) gmodal[code] = MachineGModal(*machine, code);
    for (const MachineKey& row : kPostInfo) {
        void* dest = row.kind == KeyKind::GModal ? static_cast<void*>(gmodal + row.offset)
                                                 : fieldOf(machine, row.offset);
        ReadProfileItem(file, "PostInfo", row.key, row.encoding, dest, row.count);
    }
    readReplacePairs(file, machine);
    for (int code = 0; code < kMachineGCodes; ++code)
        SetMachineGModal(machine, code, gmodal[code] > 0);

    for (int axis = 0; axis < 3; ++axis) {
        repair(&machine->scaleXYZ[axis], 1.0f);
        repair(&machine->scaleIJK[axis], 1.0f);
    }
    repair(&machine->itoF, 0.001f);
    // Files before version 89 kept the pairs in two sections of their own;
    // they override whatever the Replace section held.
    if (version < kMachineFileVersion) readLegacyPairs(file, machine);
    return 1;
}

int WriteMachineFile(const char* path, const MachineDefinition& machine) {
    if (path == nullptr) return 0;
    ProfileFile file;
    if (!file.load(ResolveDefinitionPath(path).c_str())) return 0;

    int32_t version = kMachineFileVersion;
    WriteProfileItem(file, "Info", "Version", ProfileEncoding::Integers, &version, 1);
    int32_t gmodal[kMachineGCodes];
    for (int code = 0; code < kMachineGCodes; ++code) gmodal[code] = MachineGModal(machine, code);
    for (const MachineKey& row : kPostInfo) {
        const void* source = row.kind == KeyKind::GModal
                                 ? static_cast<const void*>(gmodal + row.offset)
                                 : fieldOf(machine, row.offset);
        WriteProfileItem(file, "PostInfo", row.key, row.encoding, source, row.count);
    }
    char key[16];
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        std::string entry;
        size_t orgLength = fieldLength(machine.replaceOrg[k]);
        if (orgLength > 0) {
            entry = BracketJoin({{machine.replaceOrg[k], orgLength},
                                 {machine.replaceDst[k], fieldLength(machine.replaceDst[k])}});
        }
        listKey(key, sizeof key, k);
        WriteProfileItem(file, "Replace", key, ProfileEncoding::Text, entry.c_str(),
                         kReplaceEntrySize);
    }
    return file.save() ? 1 : 0;
}

int BuildMachineConfig(const MachineDefinition& machine, const ToolTable& tools,
                       NcMachineConfig* config, NcModalState* state) {
    if (state != nullptr) ncModalReset(state, machine.initialGModal);
    // Zeroing first leaves the rest of both replacement lists empty and the
    // progress window unset.
    memset(config, 0, sizeof *config);
    memcpy(config->scaleXYZ, machine.scaleXYZ, sizeof config->scaleXYZ);
    memcpy(config->scaleIJK, machine.scaleIJK, sizeof config->scaleIJK);
    config->itoF = machine.itoF;
    config->feedG00 = machine.feedG00;
    config->timeTC = machine.timeTC;
    config->options = machine.options;
    for (int t = 0; t < kNcToolCount; ++t) config->toolRadius[t] = tools.entries[t].diameter * 0.5f;

    // The lists have room for every pair at full length, so nothing is cut.
    static_assert(kMachineReplacePairs <= kNcReplacePairs &&
                  kMachineTextSize - 1 <= kNcReplaceEntryMax);
    size_t from = 0, to = 0;
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        size_t orgLength = fieldLength(machine.replaceOrg[k]);
        // Pairs after the first empty search text are never used.
        if (orgLength == 0) break;
        size_t dstLength = fieldLength(machine.replaceDst[k]);
        memcpy(config->replaceFrom + from, machine.replaceOrg[k], orgLength);
        memcpy(config->replaceTo + to, machine.replaceDst[k], dstLength);
        from += orgLength + 1;
        to += dstLength + 1;
    }
    return 1;
}
