#include "engine/loader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/block_text_detail.h"
#include "engine/byte_scan.h"
#include "engine/status.h"
#include "platform/ordered_pieces.h"
#include "platform/platform.h"
#include "platform/sjis.h"

namespace {

// Automatic program numbers start here; O numbers below it never collide.
constexpr int32_t kNcAutomaticBase = 10000;

bool isDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}
bool isAsciiLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
uint8_t byteAt(const char* s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}

// The longest prefix of at most limit bytes that ends on a character
// boundary: a double-byte character is kept whole or dropped whole.
size_t characterBoundary(const char* text, size_t limit) {
    return sjisFit(text, strlen(text), limit);
}

// Length of a base name without its extension (from the last ".").
size_t stemLength(const char* base) {
    size_t length = strlen(base), stem = length;
    for (size_t i = 0; i < length; ++i) {
        if (sjisIsLead(byteAt(base, i)) && i + 1 < length) {
            ++i;
        } else if (base[i] == '.') {
            stem = i;
        }
    }
    return stem;
}

// A file named like O1234.NC or P0010.NC (a letter, then a number from 1 to
// 9999) names the program it holds; -1 for any other name.
int32_t numberFromName(const char* path) {
    const char* base = sjisFileName(path);
    size_t stem = stemLength(base);
    uint8_t second = stem >= 2 ? byteAt(base, 1) : 0;
    if (stem < 2 || !isAsciiLetter(byteAt(base, 0)) ||
        !(isDigit(second) || second == '+' || second == '-' || second == '.')) {
        return -1;
    }
    size_t i = 1;
    bool negative = false;
    if (base[i] == '+' || base[i] == '-') negative = base[i++] == '-';
    int32_t value = 0;
    // Growth stops once the value is out of range, so no name can overflow it.
    for (; i < stem && isDigit(byteAt(base, i)); ++i) {
        if (value < kNcAutomaticBase) value = value * 10 + (base[i] - '0');
    }
    if (negative) value = -value;
    return value > 0 && value < kNcAutomaticBase ? value : -1;
}

bool sameIgnoringCase(const char* a, const char* b) {
    auto lower = [](uint8_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lower(static_cast<uint8_t>(*a)) != lower(static_cast<uint8_t>(*b))) return false;
    }
    return *a == *b;
}

// A list that starts with a control byte or with a byte of 0x80 and above
// (negative as a signed char) counts as empty.
bool hasReplacements(const char* replaceFrom) {
    return static_cast<signed char>(replaceFrom[0]) >= 0x20;
}

// Replaces the first occurrence of from; the result is cut to 127 bytes
// on a character boundary.
void replaceFirst(char* line, const char* from, const char* to) {
    const char* hit = strstr(line, from);
    if (hit == nullptr) return;
    const char* tail = hit + strlen(from);
    const char* parts[] = {line, to, tail};
    const size_t lengths[] = {static_cast<size_t>(hit - line), strlen(to), strlen(tail)};
    // One byte beyond the limit is kept so that a double-byte character
    // that straddles it can be recognised and dropped whole.
    char joined[kNcLineSize + 1];
    size_t used = 0, total = 0;
    for (int k = 0; k < 3; ++k) {
        size_t room = kNcLineSize - used;
        size_t n = lengths[k] < room ? lengths[k] : room;
        memcpy(joined + used, parts[k], n);
        used += n;
        total += lengths[k];
    }
    joined[used] = '\0';
    size_t keep = total > kNcLineMax ? characterBoundary(joined, kNcLineMax) : used;
    memcpy(line, joined, keep);
    line[keep] = '\0';
}

// The directives \find, \else and \end switch the pairs that follow on and
// off; an unknown directive changes nothing.
bool applyDirective(const char* keyword, const char* to, const char* line, bool skip) {
    if (strcmp(keyword, "find") == 0) return strstr(line, to) == nullptr;
    if (strcmp(keyword, "else") == 0) return !skip;
    if (strcmp(keyword, "end") == 0) return false;
    return skip;
}

struct Load {
    NcBlockStore* store;
    const NcMachineConfig* config;
    const char* path;
    NcProgressCallback callback;
    int32_t program;  // the program that lines are appended to
    int32_t mainProgram;
};

int notify(const Load& load, uint32_t phase, uint32_t progress, const NcBlockText* block) {
    if (load.callback == nullptr) return 1;
    NcProgressEvent event{ncEventCode(kNcStageLoading, phase),
                          progress,
                          load.store,
                          load.config,
                          nullptr,
                          block,
                          nullptr};
    return load.callback(&event);
}

int32_t automaticNumber(NcBlockStore* store) {
    int32_t number = kNcAutomaticBase;
    while (number < INT32_MAX && ncBlockCount(store, number) != -1) ++number;
    return number;
}

bool appendHeader(const Load& load) {
    NcBlockText header;
    memset(&header, 0, sizeof header);
    header.kind = KindFileHeader;
    header.lineIndex = -1;
    const char* name = sjisFileName(load.path);
    memcpy(header.text, name, characterBoundary(name, kNcLineMax));
    return ncBlockAppend(load.store, load.path, load.program, &header) == 1;
}

// The first word with letter in a block just analysed, or null. Analysis fills the slots from the
// first one on, so the first empty slot ends the words: most lines need a few compares, not
// sixteen.
const NcAddressWord* analysedWord(const NcBlockText& block, uint8_t letter) {
    for (const NcAddressWord& word : block.words) {
        if (word.letter == letter) return &word;
        if (word.letter == 0) break;
    }
    return nullptr;
}

// A positive O word starts a new program with that number; false after
// reporting a number that the store already holds.
bool takeProgramNumber(Load& load, const NcBlockText& block) {
    if (block.kind != KindWords) return true;
    const NcAddressWord* word = analysedWord(block, 'O');
    if (word == nullptr) return true;
    float value = word->value;
    // Beyond the signed 32-bit range a number cannot name a program.
    if (!(value > 0.0f) || value >= 2147483648.0f) return true;
    int32_t number = static_cast<int32_t>(value);
    if (ncBlockCount(load.store, number) != -1) {
        ncFail(NcStatusDuplicateProgram, block.text, 0);
        return false;
    }
    load.program = number;
    return true;
}

// The program holding the first M02 or M30 is where execution starts.
void noteMainProgram(Load& load, const NcBlockText& block) {
    if (load.mainProgram != -1 || block.kind != KindWords) return;
    const NcAddressWord* word = analysedWord(block, 'M');
    if (word == nullptr) return;
    float m = word->value;
    // Compared as ranges: the value truncated toward zero is 2 or 30.
    if ((m >= 2.0f && m < 3.0f) || (m >= 30.0f && m < 31.0f)) load.mainProgram = load.program;
}

// Analyses the line of size bytes at line (not terminated) after
// replacements and space removal, but keeps the raw line as the block's
// text so that viewers show what the file holds.
bool analyseLine(const NcMachineConfig* config, const unsigned char* line, size_t size,
                 NcBlockText* block) {
    const char* bytes = reinterpret_cast<const char*>(line);
    const bool spaces = (config->options & kNcOptionIgnoreSpaces) != 0;
    if (!spaces && !hasReplacements(config->replaceFrom)) {
        ncAddrAnalysisBytes(block, bytes, size);
        return true;
    }
    char raw[kNcLineSize] = {};
    memcpy(raw, bytes, size < kNcLineSize ? size : kNcLineMax);
    char work[kNcLineSize];
    memcpy(work, raw, kNcLineSize);
    if (!ncLineReplace(work, config->replaceFrom, config->replaceTo)) return false;
    if (spaces && !ncLineDelSpace(work)) return false;
    ncAddrAnalysisBytes(block, work, strlen(work), size > kNcLineMax);
    memcpy(block->text, raw, kNcLineSize);
    return true;
}

// Numbers the analysed line, follows its O word and appends it.
bool storeLine(Load& load, int32_t lineIndex, NcBlockText* block) {
    block->lineIndex = lineIndex;
    if (!takeProgramNumber(load, *block)) return false;
    if (!ncBlockAppend(load.store, load.path, load.program, block)) return false;
    noteMainProgram(load, *block);
    return true;
}

// The line at pos: its length (up to its terminator) goes to size, and the
// position after its terminator (CR LF, CR, LF or the end) is returned.
size_t nextLine(const unsigned char* data, size_t size, size_t pos, size_t* lineSize) {
    size_t end = pos + ncFindEither(data + pos, size - pos, '\r', '\n');
    *lineSize = end - pos;
    if (end == size) return end;
    bool crlf = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n';
    return end + (crlf ? 2 : 1);
}

bool stepDone(Load& load, size_t pos, size_t size, const NcBlockText* block) {
    auto percent = static_cast<uint32_t>(static_cast<uint64_t>(pos) * 100 / size);
    return notify(load, kNcPhaseStep, percent, block) != 0;
}

bool readLines(Load& load, const unsigned char* data, size_t size) {
    NcBlockText block;
    int32_t lineIndex = 0;
    for (size_t pos = 0; pos < size;) {
        size_t lineSize = 0;
        const unsigned char* line = data + pos;
        pos = nextLine(data, size, pos, &lineSize);
        if (!analyseLine(load.config, line, lineSize, &block) ||
            !storeLine(load, lineIndex++, &block)) {
            return false;
        }
        if (!stepDone(load, pos, size, &block)) return false;
    }
    return true;
}

// Analysis ahead: a large file is cut into pieces of kPieceBytes, which a
// helper thread and the loader's thread analyse at the same time; the
// loader stores them in file order. A piece holds the lines that start in
// its bytes, so every thread finds the lines of any piece on its own. The
// analysis touches nothing but its piece, so the store, the status and the
// progress callback stay with the loader's thread.
constexpr size_t kPieceBytes = 32 * 1024;
constexpr int kSlots = 4;                      // pieces analysed but not yet stored
constexpr size_t kAheadMinimum = 1024 * 1024;  // smaller files are read alone

// A record that the analysis fills whole: made without clearing it first.
struct PieceBlock {
    PieceBlock() {}  // leaves the record uninitialised on purpose
    NcBlockText block;
};

struct Piece {
    std::vector<PieceBlock> blocks;
    std::vector<size_t> ends;  // file position after each line
    bool ok = true;            // false when memory ran out
};

// The first line start in [from, to), or to when none. A line starts after
// a CR or LF, but not between the CR and LF of a pair.
size_t firstLineStart(const unsigned char* data, size_t from, size_t to) {
    if (from == 0) return 0;
    for (size_t b = from; b < to; ++b) {
        uint8_t c = data[b - 1];
        if (c == '\n' || (c == '\r' && data[b] != '\n')) return b;
    }
    return to;
}

// The pieces of one file and what the threads share to analyse them.
struct AnalysisAhead {
    const NcMachineConfig* config;
    const unsigned char* data;
    size_t size;
    Piece slots[kSlots];
};

void analysePiece(void* context, uint64_t k, int slot) {
    auto* ahead = static_cast<AnalysisAhead*>(context);
    Piece* piece = &ahead->slots[slot];
    piece->blocks.clear();
    piece->ends.clear();
    piece->ok = true;
    const size_t limit = std::min(ahead->size, (k + 1) * kPieceBytes);
    try {
        for (size_t pos = firstLineStart(ahead->data, k * kPieceBytes, limit); pos < limit;) {
            size_t lineSize = 0;
            const unsigned char* line = ahead->data + pos;
            pos = nextLine(ahead->data, ahead->size, pos, &lineSize);
            // Analysed in place: a copy of the record just written would
            // read its fresh stores back at once, which stalls. Without
            // replacements the analysis cannot fail.
            analyseLine(ahead->config, line, lineSize, &piece->blocks.emplace_back().block);
            piece->ends.push_back(pos);
        }
    } catch (const std::bad_alloc&) {
        piece->ok = false;
    }
}

// Stores the pieces analysed ahead; false when storing failed, memory ran
// out or the callback stopped the load.
bool readAhead(Load& load, AnalysisAhead* ahead, PlatOrderedPieces* pieces) {
    int32_t lineIndex = 0;
    for (int slot; (slot = pieces->next()) >= 0;) {
        Piece& piece = ahead->slots[slot];
        if (!piece.ok) return ncFail(NcStatusOutOfMemory, "Error::ncBlockLoading(alloc)", 0) != 0;
        for (size_t i = 0; i < piece.blocks.size(); ++i) {
            NcBlockText* block = &piece.blocks[i].block;
            if (!storeLine(load, lineIndex++, block) ||
                !stepDone(load, piece.ends[i], ahead->size, block)) {
                return false;
            }
        }
        pieces->release();
    }
    return true;
}

// Reads every line of the file: with analysis ahead when the file is large
// and its lines need no replacements (which can fail and record a status).
bool readFile(Load& load, const unsigned char* data, size_t size) {
    if (size < kAheadMinimum || hasReplacements(load.config->replaceFrom)) {
        return readLines(load, data, size);
    }
    AnalysisAhead ahead{load.config, data, size, {}};
    PlatOrderedPieces pieces((size + kPieceBytes - 1) / kPieceBytes, kSlots, analysePiece, &ahead);
    if (!pieces.start()) return readLines(load, data, size);
    return readAhead(load, &ahead, &pieces);
}

// A file without O words takes its program number from its name.
void renumberFromName(Load& load) {
    int32_t number = numberFromName(load.path);
    if (number < 0 || ncBlockReplacePno(load.store, load.program, number) != 1) return;
    if (load.mainProgram == load.program) load.mainProgram = number;
    load.program = number;
}

struct Source {
    PlatFile* file;
    PlatMapping* mapping;
    const unsigned char* data;
    size_t size;
};

// Only a regular file is read: opening a pipe would wait for a writer.
bool openSource(const char* path, Source* source) {
    source->file = platOpenRegularFile(path, nullptr);
    if (source->file == nullptr) return false;
    const void* view = nullptr;
    source->mapping = platMapRead(source->file, &view, &source->size);
    source->data = static_cast<const unsigned char*>(view);
    return source->mapping != nullptr;
}

void closeSource(Source* source) {
    platUnmap(source->mapping);
    platFileClose(source->file);
}

}  // namespace

int32_t ncBlockLoading(NcBlockStore* store, const NcMachineConfig* config, const char* path,
                       int32_t* mainProgram, NcProgressCallback callback) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockLoading(args)", 0);
    if (config == nullptr || path == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockLoading(args)", 0);
    }
    if (mainProgram != nullptr) *mainProgram = -1;
    Load load{store, config, path, callback, automaticNumber(store), -1};
    Source source{};
    if (!openSource(path, &source)) {
        closeSource(&source);  // an empty file opens but cannot be mapped
        return ncFail(NcStatusReadFailed, path, 0);
    }
    bool ok = notify(load, kNcPhaseBegin, 0, nullptr) != 0 && appendHeader(load) &&
              readFile(load, source.data, source.size);
    if (load.program >= kNcAutomaticBase) renumberFromName(load);
    if (mainProgram != nullptr) *mainProgram = load.mainProgram;
    closeSource(&source);
    notify(load, kNcPhaseEnd, 0, nullptr);
    // Mapping writes out the buffered appends: a write failure ends the load here.
    if (ok && ncBlockMemoryMap(store) != 1) ok = false;
    return ok ? 1 : 0;
}

int32_t ncLineReplace(char* line, const char* replaceFrom, const char* replaceTo) {
    if (line == nullptr || replaceFrom == nullptr || replaceTo == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncLineReplace(args)", 0);
    }
    if (!hasReplacements(replaceFrom)) return 1;
    bool skip = false;
    const char* from = replaceFrom;
    const char* to = replaceTo;
    for (; *from != '\0'; from += strlen(from) + 1, to += strlen(to) + 1) {
        if (*from == '\\') {
            skip = applyDirective(from + 1, to, line, skip);
        } else if (!skip) {
            if (sameIgnoringCase(from, to)) {
                return ncFail(NcStatusInvalidArgument, "Error::ncLineReplace(cmp)", 0);
            }
            replaceFirst(line, from, to);
        }
    }
    return 1;
}

int32_t ncLineDelSpace(char* line) {
    if (line == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncLineDelSpace(args)", 0);
    char* out = line;
    for (const char* in = line; *in != '\0'; ++in) {
        if (*in != ' ') *out++ = *in;
    }
    *out = '\0';
    return 1;
}
