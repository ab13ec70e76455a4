#include "engine/block_text.h"
#include "engine/block_text_detail.h"

#include <array>
#include <cstdlib>
#include <cstring>

#include "engine/byte_scan.h"
#include "engine/status.h"

namespace {

bool isCapital(uint8_t c) {
    return c >= 'A' && c <= 'Z';
}
// Any byte below 0x20, the terminator included, ends a scan.
bool isControl(uint8_t c) {
    return c < 0x20;
}
bool isDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}
bool isNumberByte(uint8_t c) {
    return isDigit(c) || c == '+' || c == '-' || c == '.';
}
uint8_t at(const char* s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}

struct Keyword {
    const char* text;
    size_t length;
};

// Any of these anywhere in the comment-free line makes a macro statement;
// "=" and the brackets catch assignments and expressions.
constexpr Keyword kStatementKeywords[] = {
    {"OR", 2},   {"XOR", 3},   {"IF", 2},  {"GOTO", 4}, {"EQ", 2},  {"NE", 2},    {"GT", 2},
    {"LT", 2},   {"GE", 2},    {"LE", 2},  {"AND", 3},  {"SIN", 3}, {"COS", 3},   {"TAN", 3},
    {"ATAN", 4}, {"SQRT", 4},  {"ABS", 3}, {"BIN", 3},  {"BCD", 3}, {"ROUND", 5}, {"FIX", 3},
    {"FUP", 3},  {"WHILE", 5}, {"DO", 2},  {"END", 3},  {"=", 1},   {"[", 1},     {"]", 1},
};

// The keywords grouped by first byte (at most three share one), so that a
// line costs one pass, a table look-up per byte and no allocation.
struct KeywordGroup {
    uint8_t count;
    uint8_t index[3];
};

constexpr std::array<KeywordGroup, 256> kKeywordsByFirst = [] {
    std::array<KeywordGroup, 256> groups{};
    for (uint8_t i = 0; i < std::size(kStatementKeywords); ++i) {
        KeywordGroup& g = groups[static_cast<uint8_t>(kStatementKeywords[i].text[0])];
        g.index[g.count++] = i;
    }
    return groups;
}();

// Keywords are two to five bytes: a byte loop beats a library call.
bool startsWith(const char* text, const Keyword& k) {
    for (size_t n = 1; n < k.length; ++n) {
        if (text[n] != k.text[n]) return false;
    }
    return true;
}

// Whether the line may hold a statement keyword: each is "=", a bracket or
// starts with two capitals in a row, while NC words pair a letter with a
// number, so nearly every line is passed eight bytes at a time. work must
// be zero from length to the next multiple of eight.
bool mayHoldKeyword(const char* work, size_t length) {
    uint64_t previous = 0;  // capitals of the word before
    for (size_t i = 0; i < length; i += 8) {
        uint64_t word;
        memcpy(&word, work + i, sizeof word);
        uint64_t capitals = ncCapitalBytes(word);
        uint64_t pairs = (capitals & (capitals >> 8)) | ((previous >> 56) & capitals);
        uint64_t marks =
            ncBytesEqual(word, '=') | ncBytesEqual(word, '[') | ncBytesEqual(word, ']');
        if ((pairs | marks) != 0) return true;
        previous = capitals;
    }
    return false;
}

bool hasStatementKeyword(const char* work, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const KeywordGroup& g = kKeywordsByFirst[at(work, i)];
        for (uint8_t j = 0; j < g.count; ++j) {
            const Keyword& k = kStatementKeywords[g.index[j]];
            if (k.length <= length - i && startsWith(work + i, k)) return true;
        }
    }
    return false;
}

// One comment span: from the first "(" to the last ")" after it. Two
// comments on a line therefore also blank the code between them, and an
// unclosed "(" blanks nothing, unless the line was cut: then its ")" lay
// in the part cut off, and the comment runs to the end of what is kept
// (its words are no code). work is zero past length up to the next
// multiple of eight, so the search reads whole words only and finds
// nothing in the padding.
void blankComment(char* work, size_t length, bool cut) {
    size_t first = ncFindEither(work, (length + 7) & ~size_t{7}, '(', '(');
    if (first >= length) return;
    for (size_t last = length; last-- > first + 1;) {
        if (work[last] == ')') {
            memset(work + first, ' ', last - first + 1);
            return;
        }
    }
    if (cut) memset(work + first, ' ', length - first);
}

bool hasCapital(const char* work, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (isCapital(at(work, i))) return true;
    }
    return false;
}

// Exact powers of ten: a decimal of at most 15 or so digits divided by one
// of them is correctly rounded, as the C library's conversion is.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t kExactMantissa = uint64_t{1} << 53;

struct Number {
    size_t end;  // index after the run
    float value;
    bool point;  // a "." occurred in the run
};

// Reads the run of digits, signs and points that starts at i. Its value is
// that of an optional sign, digits, an optional point and fraction, up to
// the first byte that does not fit, as strtod reads such a run ("1-2" is
// 1). Numbers of up to 15 or so digits are divided by an exact power of
// ten, which rounds correctly as the C library does; longer or tinier ones
// go to strtod itself.
Number readAnyNumber(const char* work, size_t i) {
    const size_t start = i;
    bool negative = false;
    if (work[i] == '+' || work[i] == '-') negative = work[i++] == '-';
    uint64_t mantissa = 0;
    int fraction = 0;
    bool any = false, exact = true, point = false;
    for (;; ++i) {
        unsigned digit = at(work, i) - static_cast<unsigned>('0');
        if (digit < 10) {
            any = true;
            if (mantissa < kExactMantissa / 10) {
                mantissa = mantissa * 10 + digit;
            } else {
                exact = false;
            }
            fraction += point;
        } else if (work[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    bool pointInRun = point;
    while (isNumberByte(at(work, i))) pointInRun |= work[i++] == '.';
    float value = 0.0f;
    if (!any) {
        value = 0.0f;
    } else if (exact && fraction < static_cast<int>(std::size(kPow10))) {
        double v = static_cast<double>(mantissa) / kPow10[fraction];
        value = static_cast<float>(negative ? -v : v);
    } else {
        char copy[kNcLineSize];
        size_t n = i - start < sizeof copy - 1 ? i - start : sizeof copy - 1;
        memcpy(copy, work + start, n);
        copy[n] = '\0';
        value = static_cast<float>(strtod(copy, nullptr));
    }
    return {i, value, pointInRun};
}

// The same reading for the numbers NC lines are made of: at most 15
// digits, all of which fit the mantissa exactly, read in two tight loops
// (before and after the point). Anything longer is read by readAnyNumber.
Number readNumber(const char* work, size_t i) {
    const size_t start = i;
    bool negative = false;
    if (work[i] == '+' || work[i] == '-') negative = work[i++] == '-';
    // Wraps harmlessly on very long runs, which are read again below.
    uint64_t mantissa = 0;
    unsigned digit;
    const size_t integerStart = i;
    while ((digit = at(work, i) - static_cast<unsigned>('0')) < 10) {
        mantissa = mantissa * 10 + digit;
        ++i;
    }
    size_t fraction = 0;
    const bool point = work[i] == '.';
    if (point) {
        const size_t fractionStart = ++i;
        while ((digit = at(work, i) - static_cast<unsigned>('0')) < 10) {
            mantissa = mantissa * 10 + digit;
            ++i;
        }
        fraction = i - fractionStart;
    }
    const size_t digits = i - integerStart - (point ? 1 : 0);
    if (digits > 15) return readAnyNumber(work, start);
    bool pointInRun = point;
    while (isNumberByte(at(work, i))) pointInRun |= work[i++] == '.';
    float value = 0.0f;
    if (digits > 0) {
        double v = static_cast<double>(mantissa) / kPow10[fraction];
        value = static_cast<float>(negative ? -v : v);
    }
    return {i, value, pointInRun};
}

void storeWord(NcAddressWord* word, uint8_t letter, const Number& number, uint8_t flags) {
    word->letter = letter;
    word->value = number.value;
    word->flags = number.point ? static_cast<uint8_t>(flags & ~NcWordNoPoint) : flags;
}

// Reads up to 16 address words; returns how many were stored.
int readWords(NcBlockText* block, const char* work) {
    int count = 0;
    size_t i = 0;
    while (count < kNcWordSlots) {
        while (!isCapital(at(work, i)) && !isControl(at(work, i))) ++i;
        if (isControl(at(work, i))) break;
        uint8_t letter = at(work, i++);
        uint8_t next = at(work, i);
        if (!isNumberByte(next) && next != '#') {
            // A letter without a number starts a token that means nothing
            // here. One followed by spaces and a number was meant as a word.
            if (next == ' ') {
                size_t after = i;
                while (work[after] == ' ') ++after;
                if (isNumberByte(at(work, after))) block->analysisNotes |= kNcSpacedWord;
            }
            while (work[i] != ' ' && !isControl(at(work, i))) ++i;
            continue;
        }
        uint8_t flags = NcWordNoPoint;
        if (next == '#') {
            flags |= NcWordVariable;
            ++i;
        } else if ((next == '-' || next == '+') && work[i + 1] == '#') {
            block->analysisNotes |= kNcSignedVariable;
        }
        Number number = readNumber(work, i);
        storeWord(&block->words[count++], letter, number, flags);
        i = number.end;
    }
    return count;
}

// A line without capital letters is a point list: its first three numbers
// become X, Y and Z.
void readBareNumbers(NcBlockText* block, const char* work) {
    static constexpr uint8_t kAxes[] = {'X', 'Y', 'Z'};
    size_t i = 0;
    for (uint8_t axis : kAxes) {
        while (!isNumberByte(at(work, i)) && !isControl(at(work, i))) ++i;
        if (isControl(at(work, i))) return;
        Number number = readNumber(work, i);
        storeWord(&block->words[axis - 'X'], axis, number, NcWordNoPoint);
        i = number.end;
    }
}

int chooseSlot(const NcBlockText* block, uint8_t letter) {
    for (int i = 0; i < kNcWordSlots; ++i) {
        if (block->words[i].letter == letter) return i;
    }
    for (int i = kNcWordSlots - 1; i >= 0; --i) {
        if (block->words[i].letter == 0) return i;
    }
    return -1;
}

}  // namespace

namespace {

// Copies length bytes of line to work and zero fills at least eight bytes
// after them, so that the scans can read whole words. The copy is made in
// the eight-byte words the scans read: a word read back across the seams
// of differently sized stores would wait for them to reach the cache. line
// is read no further than length.
void copyForScans(char* work, const char* line, size_t length) {
    size_t at = 0;
    for (; length - at >= 8; at += 8) {
        uint64_t word;
        memcpy(&word, line + at, sizeof word);
        memcpy(work + at, &word, sizeof word);
    }
    uint64_t tail = 0;
    for (size_t k = 0; at + k < length; ++k) {
        tail |= uint64_t{static_cast<uint8_t>(line[at + k])} << (8 * k);
    }
    const uint64_t zero = 0;
    memcpy(work + at, &tail, sizeof tail);
    memcpy(work + at + 8, &zero, sizeof zero);
}

// Analyses the first length bytes of line, which hold no NUL, into block,
// which is zero apart from its text. The work copy is taken from line, not
// from the text just written: reading back fresh small stores as wide loads
// would stall.
void analyseText(NcBlockText* block, const char* line, size_t length, bool cut) {
    char work[kNcLineSize + 8];
    copyForScans(work, line, length);
    blankComment(work, length, cut);

    size_t first = 0;
    while (work[first] == ' ') ++first;
    if (work[first] == '/') return;  // optional block skip is always in effect

    if (mayHoldKeyword(work, length) && hasStatementKeyword(work, length)) {
        block->kind = KindStatement;
        memcpy(block->statement, line, length < kNcStatementMax ? length : kNcStatementMax);
    } else if (!hasCapital(work, length)) {
        block->kind = KindBareNumbers;
        if (!isControl(at(work, 0))) readBareNumbers(block, work);
    } else {
        bool readable = !isControl(at(work, 0)) && readWords(block, work) > 0;
        block->kind = readable ? KindWords : KindEmpty;
    }
}

}  // namespace

int32_t ncAddrAnalysis(NcBlockText* block, const char* line) {
    if (block == nullptr || line == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncAddrAnalysis(args)", 0);
    }
    memset(block, 0, sizeof *block);
    size_t length = strnlen(line, kNcLineMax);
    memcpy(block->text, line, length);
    analyseText(block, line, length, length == kNcLineMax && line[length] != '\0');
    return 1;
}

void ncAddrAnalysisBytes(NcBlockText* block, const char* bytes, size_t size, bool cut) {
    if (size > static_cast<size_t>(kNcLineMax)) {
        size = kNcLineMax;
        cut = true;
    }
    memset(block, 0, sizeof *block);
    memcpy(block->text, bytes, size);
    const size_t length = ncFindEither(bytes, size, '\0', '\0');
    analyseText(block, bytes, length, cut && length == size);
}

int32_t ncAddrFind(const NcBlockText* block, char letter, float scale, float* value) {
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncAddrFind(args)", -1);
    if (value != nullptr) *value = 0.0f;
    uint8_t wanted = static_cast<uint8_t>(letter);
    for (int i = 0; wanted != 0 && i < kNcWordSlots; ++i) {
        const NcAddressWord& word = block->words[i];
        if (word.letter != wanted) continue;
        if (value != nullptr) {
            bool scaled = (word.flags & NcWordNoPoint) != 0 && scale > 0.0f;
            *value = scaled ? word.value * scale : word.value;
        }
        return i;
    }
    return -1;
}

int32_t ncAddrSet(NcBlockText* block, int32_t slot, NcAddressWord word) {
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncAddrSet(args)", 0);
    if (slot < 0 || slot >= kNcWordSlots) slot = chooseSlot(block, word.letter);
    if (slot < 0) return 0;
    block->words[slot] = word;
    return 1;
}

int32_t ncAddrSetValue(NcBlockText* block, char letter, float value, uint8_t flags) {
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncAddrSetValue(args)", 0);
    NcAddressWord word{static_cast<uint8_t>(letter), value, flags};
    int slot = chooseSlot(block, word.letter);
    if (slot < 0) return 0;
    block->words[slot] = word;
    return 1;
}
