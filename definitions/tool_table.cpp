#include "definitions/tool_table.h"

#include "definitions/profile_item.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// "[name][diameter][length][corner]": a 31-character name and three reals
// of at most 46 characters each ("%f" of the largest float) fit.
constexpr int kEntrySize = 256;

void toolKey(char* key, size_t size, const char* format, int k) {
    snprintf(key, size, format, k);
}

// The name as written: cut to 31 whole characters, single-byte brackets
// turned into parentheses (a bracket-like second byte of a double-byte
// character is left alone: the reader skips it too).
std::string storedName(const char* name) {
    size_t length = TextCutLength(name, strnlen(name, kToolNameSize), kToolNameSize - 1);
    std::string out(name, length);
    for (size_t i = 0; i < out.size(); ++i) {
        if (sjisIsLead(static_cast<unsigned char>(out[i])) && i + 1 < out.size()) {
            ++i;
        } else if (out[i] == '[') {
            out[i] = '(';
        } else if (out[i] == ']') {
            out[i] = ')';
        }
    }
    return out;
}

std::string realText(float value) {
    return EncodeProfileValue(ProfileEncoding::Reals, &value, 1);
}

}  // namespace

int ReadToolFile(const char* path, ToolTable* tools, int* messageId) {
    if (messageId != nullptr) *messageId = 0;
    if (path == nullptr || tools == nullptr) return 0;
    ProfileFile file;
    const bool loaded = LoadProfileFile(&file, ResolveDefinitionPath(path).c_str(), messageId);
    memset(tools, 0, sizeof *tools);
    if (!loaded) return 0;

    int32_t version = 0;
    ReadProfileItem(file, "Info", "Version", ProfileEncoding::Integers, &version, 1);
    char key[16], entry[kEntrySize];
    std::string fields[4];
    for (int k = 0; k < kToolCount; ++k) {
        toolKey(key, sizeof key, "List%02d", k);
        if (!ReadProfileItem(file, "Tools", key, ProfileEncoding::Text, entry, sizeof entry))
            continue;
        if (!BracketFields(entry, 4, fields)) continue;
        ToolEntry& tool = tools->entries[k];
        CopyTextCut(tool.toolName, sizeof tool.toolName, fields[0].data(), fields[0].size());
        tool.diameter = ProfileReal(fields[1].c_str());
        tool.length = ProfileReal(fields[2].c_str());
        tool.cornerRadius = ProfileReal(fields[3].c_str());
    }
    // Files before version 89 kept names and numbers in sections of their
    // own; where those keys exist they win.
    if (version < kToolFileVersion) {
        for (int k = 0; k < kToolCount; ++k) {
            ToolEntry& tool = tools->entries[k];
            toolKey(key, sizeof key, "Tool%02d", k);
            ReadProfileItem(file, "ToolName", key, ProfileEncoding::Text, tool.toolName,
                            sizeof tool.toolName);
            float data[3] = {tool.diameter, tool.length, tool.cornerRadius};
            if (ReadProfileItem(file, "ToolData", key, ProfileEncoding::Reals, data, 3)) {
                tool.diameter = data[0];
                tool.length = data[1];
                tool.cornerRadius = data[2];
            }
        }
    }
    return 1;
}

int WriteToolFile(const char* path, const ToolTable& tools) {
    if (path == nullptr) return 0;
    ProfileFile file;
    if (!file.load(ResolveDefinitionPath(path).c_str())) return 0;

    int32_t version = kToolFileVersion;
    WriteProfileItem(file, "Info", "Version", ProfileEncoding::Integers, &version, 1);
    char key[16];
    for (int k = 0; k < kToolCount; ++k) {
        const ToolEntry& tool = tools.entries[k];
        std::string entry = BracketJoin({storedName(tool.toolName), realText(tool.diameter),
                                         realText(tool.length), realText(tool.cornerRadius)});
        toolKey(key, sizeof key, "List%02d", k);
        WriteProfileItem(file, "Tools", key, ProfileEncoding::Text, entry.c_str(), kEntrySize);
    }
    return file.save() ? 1 : 0;
}
