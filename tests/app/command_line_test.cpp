#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> tokensOf(const char* text) {
    char buffer[kCommandTextMax];
    char* tokens[kCommandTokenMax];
    int n = TokenizeCommandLine(text, buffer, tokens);
    return std::vector<std::string>(tokens, tokens + n);
}

CommandLine parsed(const char* text) {
    CommandLine c;
    ParseCommandLine(text, &c);
    return c;
}

TEST(CommandLineTokens, QuotingSpacesAndLimits) {
    const struct {
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"a.nc b.nc", {"a.nc", "b.nc"}},
        {"  a.nc   ", {"a.nc"}},  // trailing spaces make no token
        {"\"my file.nc\" x", {"my file.nc", "x"}},
        {"\"abc\"def", {"abc", "def"}},
        {"a\"b c", {"a\"b", "c"}},
        {"\"\" a", {"", "a"}},  // an empty quoted token counts
        {"a\tb", {"a\tb"}},     // only 0x20 separates
        {"\"unclosed name", {"unclosed name"}},
        {"1 2 3 4 5 6 7 8 9 10", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        // A Shift-JIS lead byte takes the next byte with it, even a space
        // or a quote: "\x81 " is one character.
        {"\x81 x y", {"\x81 x", "y"}},
        {"\"\x81\"\" z", {"\x81\"", "z"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(tokensOf(c.text), c.tokens) << c.text;
    // A long text is cut without overrun.
    std::string text(5000, 'x');
    auto tokens = tokensOf(text.c_str());
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].size(), 2047u);
    CommandLine c = parsed(text.c_str());
    EXPECT_EQ(std::string(c.files[0]).size(), 259u);
}

// What a parse gave: flags (hex), pane, file count, machine and tool
// files, picture size.
std::string summary(const CommandLine& c) {
    char text[600];
    snprintf(text, sizeof text, "%x %d %d [%s] [%s] %dx%d", c.flags, c.pane, c.fileCount,
             c.machineFile, c.toolFile, c.pictureSize[0], c.pictureSize[1]);
    return text;
}

TEST(CommandLineOptions, FlagsPanesFilesAndSizes) {
    const struct {
        const char* text;
        const char* parsed;
    } cases[] = {
        {"/p a.nc", "1 -1 1 [] [] 0x0"},
        {"-P a.nc", "1 -1 1 [] [] 0x0"},
        {"/PRN a.nc", "0 -1 1 [] [] 0x0"},
        {"/prnout /dxfout /CsvOut /logout /hide /icon /DefSize", "fe -1 0 [] [] 0x0"},
        {"/XY", "0 2 0 [] [] 0x0"},
        {"/yz /xyz", "0 1 0 [] [] 0x0"},  // the last pane option wins
        {"/XZ", "0 3 0 [] [] 0x0"},
        {"-YZ b.nc c.nc", "0 0 2 [] [] 0x0"},
        {"/mdl=C:\\m.mdl", "0 -1 0 [C:\\m.mdl] [] 0x0"},
        {"/MDL=\"C:\\m.mdl\"", "0 -1 0 [C:\\m.mdl] [] 0x0"},  // the tokenizer keeps inner quotes
        {"/TDL=a.tdl /tdl=b.tdl", "0 -1 0 [] [b.tdl] 0x0"},
        {"\"/TDL=C:\\my tools\\t.tdl\"", "0 -1 0 [] [C:\\my tools\\t.tdl] 0x0"},
        {"/MDL=one\"quote", "0 -1 0 [one\"quote] [] 0x0"},
        {"/SIZE=640x480 a.nc", "0 -1 1 [] [] 640x480"},
        {"-size=1X2", "0 -1 0 [] [] 1x2"},
        {"/SIZE=16384x16384", "0 -1 0 [] [] 16384x16384"},
        {"/SIZE=16385x10", "0 -1 0 [] [] -1x-1"},
        {"/SIZE=0x10", "0 -1 0 [] [] -1x-1"},
        {"/SIZE=640", "0 -1 0 [] [] -1x-1"},
        {"/SIZE=640x480px", "0 -1 0 [] [] -1x-1"},
        {"/SIZE=x480", "0 -1 0 [] [] -1x-1"},
        {"/SIZE=99999999999x1", "0 -1 0 [] [] -1x-1"},
    };
    for (const auto& c : cases) EXPECT_EQ(summary(parsed(c.text)), c.parsed) << c.text;
    const char* argv[] = {"/MDL=\"m.mdl\"junk", "x.nc", "/home/nc/part.nc", "/dxfout", "/PRN"};
    CommandLine cl;
    ParseCommandArguments(5, argv, &cl);
    EXPECT_STREQ(cl.machineFile, "m.mdl");
    EXPECT_STREQ(cl.files[0], "x.nc");
    EXPECT_EQ(cl.flags, OPT_DXFOUT);
#ifdef _WIN32
    EXPECT_EQ(cl.fileCount, 1);  // "/..." tokens are options there
#else
    // Absolute paths are file names; an unknown word is taken as a path too.
    ASSERT_EQ(cl.fileCount, 3);
    EXPECT_STREQ(cl.files[1], "/home/nc/part.nc");
    EXPECT_STREQ(cl.files[2], "/PRN");
#endif
}

TEST(CommandLineBatch, OnePriorityOutput) {
    const struct {
        const char* text;
        BatchOutput output;
        const char* name;
    } cases[] = {
        {"/DXFOUT a.nc", kBatchDxf, nullptr},
        {"/DXFOUT a.nc b.dxf", kBatchDxf, "b.dxf"},
        {"/DXFOUT /CSVOUT a.nc", kBatchDxf, nullptr},
        {"/CSVOUT /LOGOUT a.nc", kBatchCsv, nullptr},
        {"/LOGOUT a.nc", kBatchLog, nullptr},
        {"/PRNOUT /P a.nc", kBatchPrintDirect, nullptr},
        {"/PRNOUT a.nc", kBatchPrintDialog, nullptr},
        {"/DXFOUT", kBatchNone, nullptr},  // batch bits without a file are ignored
        {"/HIDE a.nc", kBatchNone, nullptr},
        {"/svgout a.nc p.svg", kBatchSvg, "p.svg"},
        {"/SVGOUT /LOGOUT a.nc", kBatchLog, nullptr},
    };
    for (const auto& c : cases) {
        CommandLine cl = parsed(c.text);
        EXPECT_EQ(BatchOutputOf(cl), c.output) << c.text;
        EXPECT_STREQ(BatchOutputName(cl), c.name) << c.text;
    }
}

}  // namespace
