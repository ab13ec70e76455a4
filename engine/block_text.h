// One analysed NC line, NcBlockText, and the analysis that builds it. The
// record is stored byte for byte in the block store's backing file, so its
// layout is fixed: packed, little-endian, every offset pinned below.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

constexpr int kNcWordSlots = 16;
constexpr int kNcLineMax = 127;              // bytes of a line that are used
constexpr int kNcLineSize = kNcLineMax + 1;  // a line buffer with its terminator
constexpr int kNcStatementMax = 79;          // bytes of a macro statement kept

enum NcBlockKind : uint8_t {
    KindEmpty = 0,        // nothing to execute: "/" skip, unreadable words, leading control byte
    KindWords = 1,        // one to 16 address words
    KindStatement = 2,    // macro statement, kept as text in `statement`
    KindBareNumbers = 3,  // no capital letter: up to three numbers as X, Y, Z
    KindFileHeader = 4,   // first block of every loaded file, made by the loader
};

// Bits of NcAddressWord::flags.
constexpr uint8_t NcWordNoPoint = 0x01;   // written without a decimal point
constexpr uint8_t NcWordVariable = 0x02;  // written as letter#n: value is a variable number

// Bit of NcBlockText::breakMark set by the code window and tested by the trace.
constexpr uint8_t kNcBreakMark = 0x01;

// Bits of NcBlockText::analysisNotes, what the analysis could not read: a
// letter followed by spaces and a number (spaces are kept), and a signed
// variable such as Z-#1, which reads as the sign alone.
constexpr uint8_t kNcSpacedWord = 0x01;
constexpr uint8_t kNcSignedVariable = 0x02;

#pragma pack(push, 1)
struct NcAddressWord {
    uint8_t letter;  // 'A' to 'Z'; 0 = empty slot
    float value;     // the number as written
    uint8_t flags;   // NcWord* bits
};

struct NcBlockText {
    uint8_t kind;            // NcBlockKind
    int32_t lineIndex;       // 0-based line in the source file; -1 for a file header
    char text[kNcLineSize];  // the line as written, or the header's file name
    union {
        NcAddressWord words[kNcWordSlots];  // in line order; empty slots all zero
        char statement[96];                 // KindStatement: the line's first 79 bytes
    };
    uint8_t breakMark;      // kNcBreakMark; analysis writes 0
    uint8_t analysisNotes;  // kNcSpacedWord, kNcSignedVariable
    uint8_t reserved[2];    // zero
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");
static_assert(sizeof(float) == 4);
static_assert(sizeof(NcAddressWord) == 6);
static_assert(offsetof(NcAddressWord, letter) == 0);
static_assert(offsetof(NcAddressWord, value) == 1);
static_assert(offsetof(NcAddressWord, flags) == 5);
static_assert(sizeof(NcBlockText) == 233);
static_assert(offsetof(NcBlockText, kind) == 0);
static_assert(offsetof(NcBlockText, lineIndex) == 1);
static_assert(offsetof(NcBlockText, text) == 5);
static_assert(offsetof(NcBlockText, words) == 133);
static_assert(offsetof(NcBlockText, statement) == 133);
static_assert(offsetof(NcBlockText, breakMark) == 229);
static_assert(offsetof(NcBlockText, analysisNotes) == 230);
static_assert(offsetof(NcBlockText, reserved) == 231);
static_assert(std::is_trivially_copyable_v<NcBlockText>);
static_assert(std::is_standard_layout_v<NcBlockText>);

// Builds block from line (NUL-terminated; at most 127 bytes are used).
// Returns 1; 0 with NcStatusInvalidArgument for a null argument.
int32_t ncAddrAnalysis(NcBlockText* block, const char* line);
// Slot 0 to 15 of the first word with letter, or -1. value (optional) gets
// 0 first, then the word's value, multiplied by scale when the word was
// written without a point and scale > 0. Pass 0 for raw numbers (O, M, P...).
int32_t ncAddrFind(const NcBlockText* block, char letter, float scale, float* value);
// Writes word into slot 0 to 15, or for any other slot into the slot chosen
// by letter: the first holding it, else the highest empty one. Returns 1 if
// written, 0 when every slot holds another letter.
int32_t ncAddrSet(NcBlockText* block, int32_t slot, NcAddressWord word);
// Writes letter, value and flags into the slot chosen by letter.
int32_t ncAddrSetValue(NcBlockText* block, char letter, float value, uint8_t flags);
