#include "definitions/tool_table.h"

#include "definitions/profile_item.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ToolTable readText(const std::string& text) {
    return readRecordFrom<ToolTable>(
        text, [](const char* path, ToolTable* t) { return ReadToolFile(path, t); });
}

std::string describe(const ToolEntry& tool) {
    char text[96];
    snprintf(text, sizeof text, "%s %g %g %g", tool.toolName, tool.diameter, tool.length,
             tool.cornerRadius);
    return text;
}

TEST(ToolFile, RoundTripKeepsNamesAndNumbers) {
    ToolTable tools = {};
    for (int k = 0; k < kToolCount; ++k) {
        ToolEntry& tool = tools.entries[k];
        // Up to 31 bytes, with the long-vowel mark whose second byte is "[".
        std::string name = std::string("\x83\x5A\x83\x93\x83\x5E\x81\x5B") + std::to_string(k) +
                           std::string(31, 'D');
        if (k % 3 != 0) CopyTextCut(tool.toolName, kToolNameSize, name.data(), name.size());
        tool.diameter = 0.5f * static_cast<float>(k);
        tool.length = 75.125f + static_cast<float>(k);
        tool.cornerRadius = k % 2 ? 0.25f : 0.0f;
    }
    TempFile tmp;
    ASSERT_EQ(WriteToolFile(tmp.path, tools), 1);
    std::string text = tmp.read();
    EXPECT_NE(text.find("Version=89\r\n"), std::string::npos);
    EXPECT_NE(text.find("List00=\"[][0.000000][75.125000][0.000000]\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("List98=\"[\x83\x5A\x83\x93\x83\x5E\x81\x5B"
                        "98DDD"),
              std::string::npos);
    ToolTable back = readText(text);
    EXPECT_EQ(memcmp(&back, &tools, sizeof tools), 0);

    // A name with brackets keeps its entry readable, parentheses instead.
    snprintf(tools.entries[4].toolName, kToolNameSize, "END MILL [10]");
    snprintf(tools.entries[5].toolName, kToolNameSize, "]\x83\x5D[");
    tools.entries[4].diameter = 10.0f;
    ASSERT_EQ(WriteToolFile(tmp.path, tools), 1);
    EXPECT_NE(tmp.read().find("List04=\"[END MILL (10)][10.000000][79.125000][0.000000]\""),
              std::string::npos);
    back = readText(tmp.read());
    EXPECT_EQ(describe(back.entries[4]), "END MILL (10) 10 79.125 0");
    EXPECT_EQ(describe(back.entries[5]), ")\x83\x5D( 2.5 80.125 0.25");
}

TEST(ToolFile, OnlyWellFormedEntriesAreRead) {
    ToolTable tools = readText(
        "[Tools]\r\nList05=\"[T5][5.5][60][0.5]\"\r\nList06=\"[T6][6][60]\"\r\n"
        "list07=  x[T7] [7]y[70]  [0.7]z  \r\nList08=\"[][abc][][-1]\"\r\n");
    for (int k = 0; k < kToolCount; ++k) {
        const char* expected = k == 5   ? "T5 5.5 60 0.5"
                               : k == 7 ? "T7 7 70 0.7"
                               : k == 8 ? " 0 0 -1"
                                        : " 0 0 0";
        EXPECT_EQ(describe(tools.entries[k]), expected) << k;
    }
    TempFile missing;
    ASSERT_EQ(ReadToolFile(missing.path, &tools), 1);
    EXPECT_EQ(describe(tools.entries[5]), " 0 0 0");
    EXPECT_EQ(ReadToolFile(nullptr, &tools), 0);
}

TEST(ToolFile, OldVersionsTakeLegacyKeysWhereTheyExist) {
    const std::string body =
        "[Tools]\nList00=\"[new][1][2][3]\"\nList01=\"[kept][4][5][6]\"\n"
        "[ToolName]\nTool00=\"legacy\"\nTool02=\"only name\"\n[ToolData]\nTool00=9\nTool03=7,8,9\n";
    for (const char* version : {"", "[Info]\nVersion=88\n", "[Info]\nVersion=89\n"}) {
        bool legacy = strstr(version, "89") == nullptr;
        ToolTable tools = readText(version + body);
        EXPECT_EQ(describe(tools.entries[0]), legacy ? "legacy 9 2 3" : "new 1 2 3") << version;
        EXPECT_EQ(describe(tools.entries[1]), "kept 4 5 6") << version;
        EXPECT_EQ(describe(tools.entries[2]), legacy ? "only name 0 0 0" : " 0 0 0") << version;
        EXPECT_EQ(describe(tools.entries[3]), legacy ? " 7 8 9" : " 0 0 0") << version;
    }
}

}  // namespace
