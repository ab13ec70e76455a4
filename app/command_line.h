// The program's command line: tokens cut from the command-line text (or
// taken from an argument vector), options and file names.
#pragma once

#include <cstdint>

constexpr uint8_t OPT_PRINT = 0x01;
constexpr uint8_t OPT_PRNOUT = 0x02;
constexpr uint8_t OPT_DXFOUT = 0x04;
constexpr uint8_t OPT_CSVOUT = 0x08;
constexpr uint8_t OPT_LOGOUT = 0x10;
constexpr uint8_t OPT_HIDE = 0x20;
constexpr uint8_t OPT_ICON = 0x40;
constexpr uint8_t OPT_DEFSIZE = 0x80;
constexpr uint8_t OPT_BATCH = 0x1F;  // the options that produce an output

constexpr int kCommandTokenMax = 8;
constexpr int kCommandTextMax = 2048;
constexpr int kCommandPathMax = 260;  // 259 bytes and the terminator

struct CommandLine {
    uint8_t flags;
    bool strict;  // STRICT: a program with notes is a failure (exit status 1)
    bool svgOut;  // SVGOUT: the tool path picture as SVG
    // SIZE=WxH of the picture in pixels; 0 for the default, -1 when the
    // value was not two numbers from 1 to 16384.
    int32_t pictureSize[2];
    int32_t pane;  // slot chosen by XY, XZ, YZ or XYZ; -1 when none
    char toolFile[kCommandPathMax];
    char machineFile[kCommandPathMax];
    int32_t fileCount;
    char files[16][kCommandPathMax];
};

// Cuts up to eight tokens out of text in place of buffer (kCommandTextMax
// bytes) and returns how many; tokens point into buffer.
int TokenizeCommandLine(const char* text, char* buffer, char* tokens[kCommandTokenMax]);
// Recognises options and file names in tokens.
void ParseCommandTokens(const char* const* tokens, int count, CommandLine* out);
// Both steps on the command-line text (without the program name).
void ParseCommandLine(const char* text, CommandLine* out);
// An argument vector already split: each element is one token. Where paths
// begin with "/", such a token that is no option word is a file name.
void ParseCommandArguments(int argc, const char* const* argv, CommandLine* out);

// What a batch run produces: exactly one output, by priority.
enum BatchOutput {
    kBatchNone, kBatchPrintDirect, kBatchPrintDialog, kBatchDxf, kBatchCsv, kBatchLog, kBatchSvg
};
// The output a command line asks for; kBatchNone without a file name.
BatchOutput BatchOutputOf(const CommandLine& command);
// The export type (0 DXF, 1 CSV, 2 log, 3 SVG) of an export output, else -1.
int BatchExportType(BatchOutput output);
// The output file name: the second file name when given, else null.
const char* BatchOutputName(const CommandLine& command);
