#include "app/command_line.h"

#include "platform/platform.h"
#include "platform/sjis.h"

#include <cstring>

namespace {

// Steps over one character: a Shift-JIS lead byte takes the next byte with
// it, so that byte is never taken for a space or a quote.
char* nextChar(char* p) { return p + sjisCharLength(p); }

char toUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (toUpper(*a) != toUpper(*b)) return false;
    }
    return *a == *b;
}

bool startsNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (toUpper(*text) != toUpper(*prefix)) return false;
    }
    return true;
}

void copyCut(char* out, const char* text) {
    size_t n = strlen(text);
    if (n > kCommandPathMax - 1) n = kCommandPathMax - 1;
    memcpy(out, text, n);
    out[n] = '\0';
}

// A value given as a quoted path keeps only what lies between its first two
// quotes; a value with a single quote keeps it.
void unquote(char* value) {
    char* first = strchr(value, '"');
    char* second = first != nullptr ? strchr(first + 1, '"') : nullptr;
    if (second == nullptr) return;
    size_t n = static_cast<size_t>(second - first - 1);
    memmove(value, first + 1, n);
    value[n] = '\0';
}

// "WxH" (either x), each side 1 to 16384; anything else marks both -1.
void parsePictureSize(const char* text, int32_t size[2]) {
    long side[2] = {0, 0};
    const char* p = text;
    for (int i = 0; i < 2; ++i) {
        if (*p < '0' || *p > '9') break;
        for (; *p >= '0' && *p <= '9' && side[i] <= 16384; ++p) side[i] = side[i] * 10 + (*p - '0');
        if (i == 0 && (*p == 'x' || *p == 'X')) ++p;
    }
    const bool ok =
        *p == '\0' && side[0] >= 1 && side[0] <= 16384 && side[1] >= 1 && side[1] <= 16384;
    size[0] = ok ? static_cast<int32_t>(side[0]) : -1;
    size[1] = ok ? static_cast<int32_t>(side[1]) : -1;
}

struct OptionWord {
    const char* word;
    uint8_t bit;
};

constexpr OptionWord kOptions[] = {
    {"P", OPT_PRINT},   {"PRNOUT", OPT_PRNOUT}, {"DXFOUT", OPT_DXFOUT}, {"CSVOUT", OPT_CSVOUT},
    {"LOGOUT", OPT_LOGOUT}, {"HIDE", OPT_HIDE}, {"ICON", OPT_ICON},     {"DEFSIZE", OPT_DEFSIZE},
};

// Pane options name positions in the four-pane arrangement.
constexpr const char* kPaneWords[] = {"YZ", "XYZ", "XY", "XZ"};

// Applies an option word; false when the word is none of the options.
bool parseOption(const char* word, CommandLine* out) {
    for (const OptionWord& option : kOptions) {
        if (equalsNoCase(word, option.word)) {
            out->flags |= option.bit;
            return true;
        }
    }
    for (int pane = 0; pane < 4; ++pane) {
        if (equalsNoCase(word, kPaneWords[pane])) {
            out->pane = pane;
            return true;
        }
    }
    if (equalsNoCase(word, "STRICT")) {
        out->strict = true;
        return true;
    }
    if (equalsNoCase(word, "SVGOUT")) {
        out->svgOut = true;
        return true;
    }
    if (startsNoCase(word, "SIZE=")) {
        parsePictureSize(word + 5, out->pictureSize);
        return true;
    }
    if (startsNoCase(word, "TDL=")) {
        copyCut(out->toolFile, word + 4);
        return true;
    }
    if (startsNoCase(word, "MDL=")) {
        copyCut(out->machineFile, word + 4);
        return true;
    }
    return false;
}

// Where a "/" also begins every absolute path, a token that is not one of
// the options is a file name rather than an unknown option.
void parseTokens(const char* const* tokens, int count, bool slashPaths, CommandLine* out) {
    memset(out, 0, sizeof *out);
    out->pane = -1;
    if (count > kCommandTokenMax) count = kCommandTokenMax;
    for (int i = 0; i < count; ++i) {
        const char* token = tokens[i];
        const bool option = token[0] == '/' || token[0] == '-';
        if (option && parseOption(token + 1, out)) continue;
        if (option && !(slashPaths && token[0] == '/')) continue;  // unknown options are ignored
        if (out->fileCount < 16) copyCut(out->files[out->fileCount++], token);
    }
    unquote(out->toolFile);
    unquote(out->machineFile);
}

}  // namespace

int TokenizeCommandLine(const char* text, char* buffer, char* tokens[kCommandTokenMax]) {
    memset(buffer, 0, kCommandTextMax);
    if (text != nullptr) {
        size_t n = strlen(text);
        memcpy(buffer, text, n < kCommandTextMax - 1 ? n : kCommandTextMax - 1);
    }
    int count = 0;
    char* p = buffer;
    while (count < kCommandTokenMax) {
        while (*p == ' ') ++p;
        if (*p == '\0') break;
        const bool quoted = *p == '"';
        if (quoted) ++p;
        tokens[count++] = p;
        const char end = quoted ? '"' : ' ';
        while (*p != '\0' && *p != end) p = nextChar(p);
        if (*p != '\0') *p++ = '\0';
    }
    return count;
}

void ParseCommandTokens(const char* const* tokens, int count, CommandLine* out) {
    parseTokens(tokens, count, false, out);
}

void ParseCommandLine(const char* text, CommandLine* out) {
    char buffer[kCommandTextMax];
    char* tokens[kCommandTokenMax];
    int count = TokenizeCommandLine(text, buffer, tokens);
    ParseCommandTokens(tokens, count, out);
}

void ParseCommandArguments(int argc, const char* const* argv, CommandLine* out) {
    parseTokens(argv, argc, platPathSeparator() == '/', out);
}

BatchOutput BatchOutputOf(const CommandLine& c) {
    if (c.fileCount < 1) return kBatchNone;
    if (c.flags & OPT_PRINT) return kBatchPrintDirect;
    if (c.flags & OPT_PRNOUT) return kBatchPrintDialog;
    if (c.flags & OPT_DXFOUT) return kBatchDxf;
    if (c.flags & OPT_CSVOUT) return kBatchCsv;
    if (c.flags & OPT_LOGOUT) return kBatchLog;
    if (c.svgOut) return kBatchSvg;
    return kBatchNone;
}

int BatchExportType(BatchOutput output) {
    switch (output) {
    case kBatchDxf: return 0;
    case kBatchCsv: return 1;
    case kBatchLog: return 2;
    case kBatchSvg: return 3;
    default: return -1;
    }
}

const char* BatchOutputName(const CommandLine& c) {
    return c.fileCount >= 2 ? c.files[1] : nullptr;
}
