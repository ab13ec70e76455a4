#include "definitions/machine_definition.h"

#include "definitions/profile_item.h"
#include "definitions/tool_table.h"
#include "engine/modal_state.h"
#include "res/strings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

MachineDefinition readText(const std::string& text) {
    return readRecordFrom<MachineDefinition>(
        text, [](const char* path, MachineDefinition* m) { return ReadMachineFile(path, m); });
}

std::string modalCodes(const MachineDefinition& machine) {
    std::string codes;
    for (int code = 0; code < 128; ++code) {
        if (MachineGModal(machine, code)) codes += ' ' + std::to_string(code);
    }
    return codes;
}

// Pair k of a full table: 63 bytes each, with double-byte characters whose
// second bytes are "[" and "]".
std::string fullOrg(int k) {
    return std::string(61, static_cast<char>('A' + k % 26)) + "\x81\x5B";
}
std::string fullDst(int k) {
    std::string text(32, static_cast<char>('a' + k % 26));
    for (int i = 0; i < 15; ++i) text += "\x83\x5D";
    return text + "x";
}

void setPair(MachineDefinition* machine, int k, const std::string& org, const std::string& dst) {
    CopyTextCut(machine->replaceOrg[k], kMachineTextSize, org.data(), org.size());
    CopyTextCut(machine->replaceDst[k], kMachineTextSize, dst.data(), dst.size());
}

// A refused machine or tool file (here a folder; the kinds of refusal are
// the profile's) gives the defaults, 0 and the message that says why.
TEST(MachineFile, RefusedFilesGiveDefaultsAndTheReason) {
    TempFile folder(".dir");
    ASSERT_TRUE(std::filesystem::create_directory(folder.path));
    MachineDefinition machine, defaults;
    SetMachineDefaults(&defaults);
    ToolTable tools;
    memset(&tools, 0x5A, sizeof tools);
    int machineId = 0, toolId = 0;
    EXPECT_EQ(ReadMachineFile(folder.path, &machine, &machineId) +
                  ReadToolFile(folder.path, &tools, &toolId),
              0);
    EXPECT_EQ(memcmp(&machine, &defaults, sizeof machine), 0);
    EXPECT_EQ(tools.entries[7].diameter, 0.0f);
    EXPECT_EQ(machineId * 1000 + toolId, IDS_NOT_REGULAR_FILE * 1001);
    std::filesystem::remove(folder.path);
}

TEST(MachineFile, MissingFileGivesTheDefaultsAndTheirFileText) {
    TempFile missing;
    MachineDefinition machine;
    memset(&machine, 0x5A, sizeof machine);
    ASSERT_EQ(ReadMachineFile(missing.path, &machine), 1);
    MachineDefinition expected = {};
    snprintf(expected.machineName, sizeof expected.machineName, "Default");
    for (int axis = 0; axis < 3; ++axis) expected.scaleXYZ[axis] = expected.scaleIJK[axis] = 1.0f;
    expected.itoF = 0.001f;
    for (int code : {0, 17, 40, 49, 67, 80, 90, 98}) SetMachineGModal(&expected, code, true);
    EXPECT_EQ(memcmp(&machine, &expected, sizeof machine), 0);

    setPair(&machine, 3, "G92", "G92.1");
    ASSERT_EQ(WriteMachineFile(missing.path, machine), 1);
    std::string text = withLineEnds(
        "[Info]|Version=89||[PostInfo]|Name=\"Default\"|ScaleXYZ=1.000000,1.000000,1.000000|"
        "ScaleIJK=1.000000,1.000000,1.000000|Options=0|ItoF=0.001000|"
        "Gmodal1=1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0|"
        "Gmodal2=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,1|"
        "Gmodal3=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0|"
        "Gmodal4=0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,1,0|"
        "FeedG00=0.000000|TimeTC=0.000000||[Replace]|");
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        text += std::string("List") + std::to_string(100 + k).substr(1) +
                (k == 3 ? "=\"[G92][G92.1]\"\r\n" : "=\"\"\r\n");
    }
    EXPECT_EQ(missing.read(), text);
}

TEST(MachineFile, RoundTripKeepsEveryFieldAndTheEngineGetsAllPairsUncut) {
    MachineDefinition machine;
    SetMachineDefaults(&machine);
    std::string name = std::string(60, 'N') + "\x83\x5D!";  // 63 bytes
    CopyTextCut(machine.machineName, kMachineTextSize, name.data(), name.size());
    const float scales[6] = {0.5f, 2.25f, 10.0f, 0.001f, 1.125f, 3.0f};
    memcpy(machine.scaleXYZ, scales, sizeof machine.scaleXYZ);
    memcpy(machine.scaleIJK, scales + 3, sizeof machine.scaleIJK);
    machine.itoF = 0.01f;
    for (int code = 0; code < kMachineGCodes; ++code) {
        SetMachineGModal(&machine, code, code % 7 == 3);
    }
    for (int k = 0; k < kMachineReplacePairs; ++k) {
        setPair(&machine, k, fullOrg(k), k % 5 ? fullDst(k) : "");
    }
    machine.feedG00 = 12000.0f;
    machine.timeTC = 4.5f;
    machine.options = kNcOptionIgnoreSpaces;
    TempFile tmp;
    ASSERT_EQ(WriteMachineFile(tmp.path, machine), 1);
    MachineDefinition back = readText(tmp.read());
    EXPECT_EQ(memcmp(&back, &machine, sizeof machine), 0);

    ToolTable tools = {};
    for (int t = 0; t < kToolCount; ++t) tools.entries[t].diameter = static_cast<float>(t);
    NcMachineConfig config;
    memset(&config, 0x5A, sizeof config);
    auto state = std::make_unique<NcModalState>();
    memset(state.get(), 0x5A, sizeof *state);
    ASSERT_EQ(BuildMachineConfig(back, tools, &config, state.get()), 1);
    char text[160];
    snprintf(text, sizeof text, "%g %g %g %g %g %g %g %g %g %d %g %g", config.scaleXYZ[0],
             config.scaleXYZ[1], config.scaleXYZ[2], config.scaleIJK[0], config.scaleIJK[1],
             config.scaleIJK[2], config.itoF, config.feedG00, config.timeTC, config.options,
             config.toolRadius[10], config.toolRadius[99]);
    EXPECT_STREQ(text, "0.5 2.25 10 0.001 1.125 3 0.01 12000 4.5 4 5 49.5");
    EXPECT_EQ(config.progressWindow, nullptr);
    const char* from = config.replaceFrom;
    const char* to = config.replaceTo;
    for (int k = 0; k < kMachineReplacePairs; ++k, from += strlen(from) + 1, to += strlen(to) + 1) {
        ASSERT_EQ(std::string(from) + "/" + to, fullOrg(k) + "/" + (k % 5 ? fullDst(k) : "")) << k;
    }
    EXPECT_EQ(*from + *to, 0);
    // The interpreter is reset to the machine's modal codes (the fill pattern
    // has these bits the other way round); the rest of the reset is its own.
    EXPECT_TRUE(ncModalBit(state->gModal, 10) && ncModalBit(state->gModal, 24));
    EXPECT_FALSE(ncModalBit(state->gModal, 1) || ncModalBit(state->gModal, 91));
    EXPECT_EQ(state->callLevel, 0);
}

TEST(MachineFile, ReadRepairsScalesAndKeepsDefaultsOfModalCodesNotNamed) {
    struct Case {
        const char* lines;
        const char* expected;  // scales X Y Z I J K, ItoF, modal codes
    };
    const Case cases[] = {
        {"ScaleXYZ=0,2,-1|ItoF=0", "1 2 1 1 1 1 0.001 0 17 40 49 67 80 90 98"},
        {"ScaleIJK=abc,0.0000001,nan|ItoF=-5", "1 1 1 1 1 1 0.001 0 17 40 49 67 80 90 98"},
        {"scalexyz=1e39,0.000001,3|ITOF=0.0001", "1 1e-06 3 1 1 1 0.0001 0 17 40 49 67 80 90 98"},
        {"Gmodal1=1", "1 1 1 1 1 1 0.001 0 17 40 49 67 80 90 98"},
        {"gmodal1=0,1,0,1", "1 1 1 1 1 1 0.001 1 3 17 40 49 67 80 90 98"},
        {"Gmodal2=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", "1 1 1 1 1 1 0.001 0 17 49 67 80 90 98"},
        {"Gmodal4=0,0,0,0,0,2,-1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,1",
         "1 1 1 1 1 1 0.001 0 17 40 49 67 80 98"},
    };
    for (const Case& c : cases) {
        MachineDefinition m =
            readText(withLineEnds((std::string("[PostInfo]|") + c.lines + "|").c_str()));
        char text[128];
        snprintf(text, sizeof text, "%g %g %g %g %g %g %g", m.scaleXYZ[0], m.scaleXYZ[1],
                 m.scaleXYZ[2], m.scaleIJK[0], m.scaleIJK[1], m.scaleIJK[2], m.itoF);
        EXPECT_EQ(text + modalCodes(m), c.expected) << c.lines;
    }
}

TEST(MachineFile, ReplacePairsStopAtMissingKeysAndSkipMalformedOnes) {
    struct Case {
        const char* text;
        const char* pairs;   // org/dst of pairs 0 to 2
        const char* packed;  // replaceFrom of NcMachineConfig, "|" = NUL
    };
    const Case cases[] = {
        {"[Replace]\nList01=\"[A][B]\"\n", "/,/,/", ""},
        {"[Replace]\nList00=\"\"\nList01=\"[A][B]\"\n", "/,/,/", ""},
        {"[Replace]\nList00=A B\nList01=\"[A][B]\"\n", "/,A/B,/", ""},
        {"[Replace]\nList00=\"[X][]\"\nList01=x[A]y[B\nList02=\"  [(][ ] \"\n", "X/,/,(/ ", "X|"},
        {"[replace]\nlist00=[O][P]\nLIST01=[Q][R]\n", "O/P,Q/R,/", "O|Q|"},
    };
    for (const Case& c : cases) {
        MachineDefinition m = readText(c.text);
        std::string pairs;
        for (int k = 0; k < 3; ++k)
            pairs += std::string(k ? "," : "") + m.replaceOrg[k] + "/" + m.replaceDst[k];
        EXPECT_EQ(pairs, c.pairs) << c.text;
        NcMachineConfig config;
        BuildMachineConfig(m, ToolTable{}, &config);
        std::string packed(config.replaceFrom, strlen(c.packed) + 1);
        for (char& ch : packed) ch = ch == '\0' ? '|' : ch;
        EXPECT_EQ(packed, std::string(c.packed) + "|") << c.text;
    }
}

TEST(MachineFile, OldVersionsTakePairsFromTheLegacySections) {
    const std::string body =
        "[Replace]\nList00=\"[new][fresh]\"\nList01=\"[keep][me]\"\n"
        "[ReplaceOrg]\nList00=\"old\"\nList02=\"only org\"\n[ReplaceDst]\nList00=\"pair\"\n";
    for (const char* version : {"", "[Info]\nVersion=88\n", "[Info]\nVersion=89\n"}) {
        bool legacy = strstr(version, "89") == nullptr;
        MachineDefinition m = readText(version + body);
        std::string pairs;
        for (int k = 0; k < 3; ++k)
            pairs += std::string(m.replaceOrg[k]) + "/" + m.replaceDst[k] + ",";
        EXPECT_EQ(pairs, legacy ? "old/pair,keep/me,only org/," : "new/fresh,keep/me,/,")
            << version;
    }
}

TEST(MachineFile, BareNameIsLookedForBesideTheExecutable) {
    TempFile unique;  // only for a name that no other run uses
    std::string name = std::string(unique.path + FolderLength(unique.path)) + ".mdl";
    std::string beside = ResolveDefinitionPath(name.c_str());
    ASSERT_NE(beside, name);
    EXPECT_EQ(ResolveDefinitionPath(beside.c_str()), beside);  // absolute: as it is
    MachineDefinition machine;
    SetMachineDefaults(&machine);
    snprintf(machine.machineName, sizeof machine.machineName, "beside");
    ASSERT_EQ(WriteMachineFile(name.c_str(), machine), 1);
    PlatFileFacts facts;
    EXPECT_TRUE(platFindFile(beside.c_str(), &facts));
    ASSERT_EQ(ReadMachineFile(name.c_str(), &machine), 1);
    EXPECT_STREQ(machine.machineName, "beside");
    platFileDelete(beside.c_str());
}

}  // namespace
