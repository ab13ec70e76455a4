// The modal interpreter. ncModalUpdate applies one block in fixed phases,
// in the order their rules depend on each other:
//   preparation  record zeroed, one-shot codes of the previous block cleared
//   G pass       modal groups, copies of cycle and call blocks, G68
//   motion code  the block's motion, chosen from the modal bits
//   M pass       spindle, tool change, subprogram call codes
//   registers    the block's D, H, F, S and T words kept as modal values
//   header       mode flags, program and tool of the record
//   axis words   positions and arc centre; G68 rotates the block's copies
//   dispatch     straight move, arc, canned cycle or preset
//   statistics   per-tool length, time, value lists and ranges
// The G and M codes act through tables of clear and set masks, so adding a
// code is a table row, not a branch.
#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <initializer_list>

#include "engine/interpreter_detail.h"
#include "engine/modal_state.h"
#include "engine/notes.h"
#include "engine/status.h"

namespace {

constexpr void addBit(uint32_t set[4], int n) {
    set[n >> 5] |= 1u << (n & 31);
}
constexpr void addRange(uint32_t set[4], int first, int last) {
    for (int n = first; n <= last; ++n) addBit(set, n);
}

// What reading a code does besides changing the modal bits.
enum CodeEffect : uint16_t {
    kStopsMotion = 0x01,      // the block moves nothing
    kKeepsRegisters = 0x02,   // its D, H, F, S, T words are arguments, not modal values
    kCopiesCycle = 0x04,      // the block becomes cycleBlock
    kCopiesCall = 0x08,       // the block becomes callBlock
    kCopiesModalCall = 0x10,  // the block becomes modalCallBlock
    kDefinesRotation = 0x20,  // G68
    kChangesTool = 0x40,      // M06
    kNotFollowed = 0x80,      // moves or transforms the tool in a way the drawing does not follow
    kInches = 0x100,          // G20: figures stay in the program's units
};

// A code clears the bits of its group, then sets its own (and, for the
// motion codes, G80). A code with an empty rule has no effect.
struct CodeRule {
    uint32_t clear[4] = {};
    uint32_t set[4] = {};
    uint16_t effects = 0;
};

constexpr CodeRule groupRule(int code, int first, int last, uint16_t effects = 0) {
    CodeRule rule;
    addRange(rule.clear, first, last);
    addBit(rule.set, code);
    rule.effects = effects;
    return rule;
}

// One-shot codes only set their bit; preparation clears it at the next block.
constexpr CodeRule bitRule(int code, uint16_t effects = 0) {
    return groupRule(code, 0, -1, effects);
}

// A code the interpreter does not act on, only notes.
constexpr CodeRule noteRule(uint16_t effects) {
    CodeRule rule;
    rule.effects = effects;
    return rule;
}

constexpr std::array<CodeRule, 100> kGRules = [] {
    std::array<CodeRule, 100> rules{};
    for (int g = 0; g <= 3; ++g) {
        // A motion code also ends a canned cycle.
        rules[g] = groupRule(g, 0, 3);
        addRange(rules[g].clear, 73, 89);
        addBit(rules[g].set, 80);
    }
    rules[4] = bitRule(4, kStopsMotion | kKeepsRegisters);  // dwell: its words are no coordinates
    for (int g = 17; g <= 19; ++g) rules[g] = groupRule(g, 17, 19);
    for (int g : {28, 29, 92}) rules[g] = bitRule(g);
    for (int g = 40; g <= 42; ++g) rules[g] = groupRule(g, 40, 42);
    for (int g : {43, 44, 49}) {
        rules[g] = bitRule(g);
        for (int other : {43, 44, 49}) addBit(rules[g].clear, other);
    }
    rules[50] = groupRule(50, 50, 51);
    rules[51] = groupRule(51, 50, 51, kStopsMotion);  // scaling is not drawn
    rules[65] = bitRule(65, kStopsMotion | kKeepsRegisters | kCopiesCall);
    rules[66] = groupRule(66, 66, 67, kStopsMotion | kKeepsRegisters | kCopiesModalCall);
    rules[67] = groupRule(67, 66, 67);
    rules[68] = groupRule(68, 68, 69, kStopsMotion | kDefinesRotation);
    rules[69] = groupRule(69, 68, 69);
    for (int g : {73, 74, 76, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89}) {
        rules[g] = groupRule(g, 73, 89, kCopiesCycle);
    }
    for (int g : {90, 91}) rules[g] = groupRule(g, 90, 91);
    for (int g : {98, 99}) rules[g] = groupRule(g, 98, 99);
    // Data setting, polar coordinates, local and machine coordinates move
    // the tool elsewhere than drawn; inches are drawn as millimetres.
    for (int g : {10, 16, 52, 53}) rules[g] = noteRule(kNotFollowed);
    rules[20] = noteRule(kInches);
    return rules;
}();

constexpr std::array<CodeRule, 100> kMRules = [] {
    std::array<CodeRule, 100> rules{};
    for (int m : {2, 30, 99}) rules[m] = bitRule(m);
    for (int m = 3; m <= 5; ++m) rules[m] = groupRule(m, 3, 5);
    rules[6] = bitRule(6, kChangesTool);
    rules[98] = bitRule(98, kKeepsRegisters | kCopiesCall);
    return rules;
}();

// Codes that act for one block only, as masks cleared in one step each.
constexpr std::array<uint32_t, 4> oneShotMask(std::initializer_list<int> codes) {
    std::array<uint32_t, 4> mask{};
    for (int code : codes) mask[code >> 5] |= 1u << (code & 31);
    return mask;
}
constexpr std::array<uint32_t, 4> kOneShotG = oneShotMask({4, 28, 29, 65, 92});
constexpr std::array<uint32_t, 4> kOneShotM = oneShotMask({2, 6, 30, 98, 99});

// The block's motion is the first of these that is set. G80 is absent: after
// it the motion falls back to the G00-G03 group.
constexpr int kMotionPriority[] = {92, 28, 29, 4,  73, 74, 76, 81, 82, 83,
                                   84, 85, 86, 87, 88, 89, 0,  1,  2,  3};

enum class Branch : uint8_t { None, Straight, Arc, Cycle, Preset };

constexpr std::array<Branch, 100> kBranches = [] {
    std::array<Branch, 100> branches{};
    for (int code : {0, 1, 28, 29}) branches[code] = Branch::Straight;
    for (int code : {2, 3}) branches[code] = Branch::Arc;
    for (int code : {73, 74, 76, 81, 82, 83, 84, 85, 86, 87, 88, 89})
        branches[code] = Branch::Cycle;
    branches[92] = Branch::Preset;
    return branches;
}();

bool isSet(const uint32_t set[4], int n) {
    return ncModalBit(set, n);
}

void applyRule(uint32_t set[4], const CodeRule& rule) {
    for (int i = 0; i < 4; ++i) set[i] = (set[i] & ~rule.clear[i]) | rule.set[i];
}

// A code's number: the word's value truncated, -1 outside 0 to 99.
int codeOf(const NcAddressWord& word) {
    int32_t code = ncTruncate(word.value);
    return code >= 0 && code <= 99 ? code : -1;
}

void widenByBox(float min[3], float max[3], const NcMotionWork& work) {
    ncRangeWidenPair(min, max, work.boxMin, work.boxMax);
}

void prepare(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
             MotionRecord* record) {
    memset(record, 0, sizeof *record);
    // Only what the phases read before they write it; the rest of the
    // work is filled in by the phase that owns it.
    work->motion = -1;
    work->moveAllowed = true;
    work->storeRegisters = true;
    work->axisMask = 0;
    work->cutLen = work->time = 0.0;
    state->blockNotes = 0;
    work->dValue = work->hValue = work->cycleKey = 0;
    if (config->options & kNcOptionNoMotionModal) {
        // Without modal G00-G03 a block that names none of them cuts in G01.
        state->gModal[0] &= ~0xFu;
        work->motion = 1;
    }
    for (int i = 0; i < 4; ++i) {
        state->gModal[i] &= ~kOneShotG[i];
        state->mModal[i] &= ~kOneShotM[i];
    }
}

void noteGCode(NcModalState* state, int32_t codeTimesTen) {
    state->blockNotes |= ncNoteBit(kNcNoteGCode);
    state->noteGCode = codeTimesTen;
}

// Fractional codes that move or transform the tool beyond what is drawn:
// NURBS, cylindrical and polar interpolation, 3D compensation, tool centre
// point control, mirroring, tilted planes (times 10).
constexpr int32_t kNotFollowedFractions[] = {24, 34, 62, 71, 121, 412, 422, 434, 435, 511, 681, 682};

// A G word with a fraction is never its whole code: G91.1 is not G91.
// G90.1 and G91.1 set the centre mode; other fractions change nothing
// but may be noted.
bool fractionalCode(NcModalState* state, float value, int code) {
    if (value == static_cast<float>(code)) return false;
    if (value == 90.1f) {
        state->centreMode = kNcCentreFollowsDistance;
    } else if (value == 91.1f) {
        state->centreMode = kNcCentreOffsets;
    } else {
        const int32_t tenths = ncTruncate(value * 10.0f + 0.5f);
        for (int32_t known : kNotFollowedFractions) {
            if (tenths == known) noteGCode(state, known);
        }
    }
    return true;
}

void readGCodes(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work) {
    const NcBlockText* block = work->block;
    for (unsigned slots = work->words.gSlots; slots != 0; slots &= slots - 1) {
        const NcAddressWord& word = block->words[std::countr_zero(slots)];
        int code = codeOf(word);
        if (code < 0 || fractionalCode(state, word.value, code)) continue;
        const CodeRule& rule = kGRules[code];
        applyRule(state->gModal, rule);
        if (rule.effects & kStopsMotion) work->moveAllowed = false;
        if (rule.effects & kKeepsRegisters) work->storeRegisters = false;
        if (rule.effects & kCopiesCycle) state->cycleBlock = *block;
        if (rule.effects & kCopiesCall) state->callBlock = *block;
        if (rule.effects & kCopiesModalCall) state->modalCallBlock = *block;
        if (rule.effects & kDefinesRotation) ncRotationDefine(config, state, work);
        if (rule.effects & kNotFollowed) noteGCode(state, code * 10);
        if (rule.effects & kInches) state->blockNotes |= ncNoteBit(kNcNoteInch);
    }
}

// The codes of kMotionPriority other than G00-G03.
constexpr std::array<uint32_t, 4> kSpecialMotion = [] {
    std::array<uint32_t, 4> set{};
    for (int code : kMotionPriority) {
        if (code > 3) set[code >> 5] |= 1u << (code & 31);
    }
    return set;
}();

// The canned cycles of kMotionPriority (G73 to G89) come right after the
// one-shot codes, in ascending order, and all lie in the third word of the
// set: the lowest one set is the one that wins among them.
constexpr int kFirstCycle = 4;
constexpr int kCycleCount = 12;
constexpr uint32_t kCycleMotion = [] {
    uint32_t set = 0;
    for (int i = kFirstCycle; i < kFirstCycle + kCycleCount; ++i) {
        set |= 1u << (kMotionPriority[i] - 64);
    }
    return set;
}();
static_assert([] {
    for (int i = kFirstCycle; i < kFirstCycle + kCycleCount; ++i) {
        int code = kMotionPriority[i];
        if (code < 64 || code > 95 || code == 92) return false;
        if (i > kFirstCycle && code <= kMotionPriority[i - 1]) return false;
    }
    return kMotionPriority[kFirstCycle + kCycleCount] == 0;
}());

void chooseMotion(const NcModalState* state, NcMotionWork* work) {
    const uint32_t* g = state->gModal;
    uint32_t special = 0;
    for (int i = 0; i < 4; ++i) special |= g[i] & kSpecialMotion[i];
    if (special != 0) {
        for (int i = 0; i < kFirstCycle; ++i) {
            if (isSet(g, kMotionPriority[i])) {
                work->motion = kMotionPriority[i];
                return;
            }
        }
        // Blocks inside a canned cycle: no walk through the list.
        if (uint32_t cycles = g[2] & kCycleMotion; cycles != 0) {
            work->motion = 64 + std::countr_zero(cycles);
            return;
        }
    }
    // Only G00-G03 are left, last in the priority in ascending order: the
    // lowest set one wins.
    if ((g[0] & 0xFu) != 0) work->motion = std::countr_zero(g[0] & 0xFu);
}

// M06 activates the pending tool. A T word written before the M06 in the
// same block is that tool ("T3 M06" changes to T3); one written after it is
// only the next tool to prepare ("M06 T3" activates the tool named earlier).
void changeTool(NcModalState* state, NcMotionWork* work, NcBlockText* block, int m06Slot) {
    int t = work->words.slotOf('T');
    if (t >= 0 && t < m06Slot) {
        ncAddrSet(&state->pendingTool, -1, block->words[t]);
        memset(&block->words[t], 0, sizeof block->words[t]);
        ncWordIndexRefresh(&work->words, block, 'T');
    }
    int pending = ncAddrFind(&state->pendingTool, 'T', 0.0f, nullptr);
    if (pending >= 0) {
        ncAddrSet(&state->registers, -1, state->pendingTool.words[pending]);
        memset(&state->pendingTool.words[pending], 0, sizeof state->pendingTool.words[pending]);
    }
}

void readMCodes(NcModalState* state, NcMotionWork* work, NcBlockText* block) {
    for (unsigned slots = work->words.mSlots; slots != 0; slots &= slots - 1) {
        int i = std::countr_zero(slots);
        int code = codeOf(block->words[i]);
        if (code < 2) continue;
        const CodeRule& rule = kMRules[code];
        if (rule.effects & kChangesTool) changeTool(state, work, block, i);
        applyRule(state->mModal, rule);
        if (rule.effects & kKeepsRegisters) work->storeRegisters = false;
        if (rule.effects & kCopiesCall) state->callBlock = *block;
    }
}

void keepModalValues(NcModalState* state, const NcMotionWork* work) {
    if (!work->storeRegisters) return;
    const NcBlockText* block = work->block;
    int t = work->words.slotOf('T');
    if (t >= 0) ncAddrSet(&state->pendingTool, -1, block->words[t]);
    for (char letter : {'D', 'H', 'F', 'S'}) {
        int slot = work->words.slotOf(letter);
        if (slot >= 0) ncAddrSet(&state->registers, -1, block->words[slot]);
    }
}

// Which register a letter of the modal values is; every other letter
// goes to a spare entry after the five.
constexpr int kRegisterSpare = 5;
static_assert(sizeof(NcMotionWork::registerValues) == (kRegisterSpare + 1) * sizeof(float));
constexpr std::array<uint8_t, 256> kRegisterOfLetter = [] {
    std::array<uint8_t, 256> table{};
    for (uint8_t& entry : table) entry = kRegisterSpare;
    table['T'] = kRegisterT;
    table['F'] = kRegisterF;
    table['S'] = kRegisterS;
    table['D'] = kRegisterD;
    table['H'] = kRegisterH;
    return table;
}();

void fillHeader(const NcModalState* state, NcMotionWork* work, MotionRecord* record) {
    const uint32_t* g = state->gModal;
    uint8_t flags = isSet(g, 18) ? kModePlaneZX : isSet(g, 19) ? kModePlaneYZ : kModePlaneXY;
    if (isSet(g, 41)) {
        flags |= kModeG41;
    } else if (isSet(g, 42)) {
        flags |= kModeG42;
    }
    if (isSet(g, 43)) {
        flags |= kModeG43;
    } else if (isSet(g, 44)) {
        flags |= kModeG44;
    }
    work->modeFlags = flags;
    // A level outside the stack cannot name a program; reading it would
    // leave the state.
    bool levelValid = state->callLevel >= 0 && state->callLevel < kNcCallLevels;
    int32_t program = levelValid ? state->callStack[state->callLevel].programNumber : 0;
    // The record's 16-bit field cannot hold every O number; cut short, O65537
    // would pass for O1 and follow that program's filter choice. A number
    // that does not fit is stored as kNcProgramUnfit, which no program has.
    const bool fits = program >= 0 && program <= INT16_MAX;
    record->programNumber = static_cast<int16_t>(fits ? program : kNcProgramUnfit);
    // One pass over the modal values, from the last slot to the first so
    // that the first word of each letter is the one kept; without branches,
    // as the letters follow no pattern the processor could learn.
    // Written straight into the work: a block copy of a local array would
    // read these narrow stores back as a wide load, which stalls.
    float* values = work->registerValues;
    for (int i = 0; i <= kRegisterSpare; ++i) values[i] = 0.0f;
    const NcAddressWord* words = state->registers.words;
    for (int i = kNcWordSlots - 1; i >= 0; --i) {
        values[kRegisterOfLetter[words[i].letter]] = words[i].value;
    }
    int32_t tool = ncTruncate(work->registerValues[kRegisterT]);
    work->toolNumber = static_cast<int16_t>(tool >= 0 && tool < kNcToolCount ? tool : 0);
    record->toolNumber = work->toolNumber;
}

// The arc plane: angles run from the first axis towards the second, the
// normal axis only rides along.
void choosePlane(NcMotionWork* work) {
    static constexpr int kAxes[3][3] = {{0, 1, 2}, {2, 0, 1}, {1, 2, 0}};  // G17, G18, G19
    int plane = work->modeFlags & kModePlaneZX ? 1 : work->modeFlags & kModePlaneYZ ? 2 : 0;
    work->a = kAxes[plane][0];
    work->b = kAxes[plane][1];
    work->n = kAxes[plane][2];
}

// A coordinate written without a point is read in the machine's least
// increment (ItoF): right for programs written that way, a thousand times
// too small for CAM output in whole millimetres. The note says which.
void noteWithoutPoint(const NcMachineConfig* config, NcModalState* state,
                      const NcAddressWord& word) {
    if ((word.flags & (NcWordNoPoint | NcWordVariable)) != NcWordNoPoint || word.value == 0.0f ||
        config->itoF <= 0.0f || config->itoF == 1.0f) {
        return;
    }
    // Once per program is enough, and spares programs written this way a
    // note on every block.
    const int32_t program = state->callStack[state->callLevel].programNumber;
    if (state->noPointNoted == program + 1) return;
    state->noPointNoted = program + 1;
    state->blockNotes |= ncNoteBit(kNcNoteNoPoint);
    state->noteIncrement = config->itoF;
}

// X, Y, Z move the position (added to it under G91). I, J, K are offsets
// from the start point, unless the machine takes them as absolute under
// G90; absolute centres are modal, so a block without them reuses the last.
void readAxisWords(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work) {
    static constexpr char kAxisLetters[] = {'X', 'Y', 'Z'};
    static constexpr char kCentreLetters[] = {'I', 'J', 'K'};
    bool incremental = isSet(state->gModal, 91);
    bool follows = state->centreMode == kNcCentreByMachine
                       ? (config->options & kNcOptionIjkFollowsDistanceMode) != 0
                       : state->centreMode == kNcCentreFollowsDistance;
    bool absoluteCentre = follows && !incremental;
    for (int k = 0; k < 3; ++k) {
        state->previousPosition[k] = state->position[k];
        if (work->words.has(kAxisLetters[k])) {
            noteWithoutPoint(config, state, work->block->words[work->words.slotOf(kAxisLetters[k])]);
            float v = ncWordValue(work->block, work->words, kAxisLetters[k], config->itoF) *
                      config->scaleXYZ[k];
            if (incremental) v += state->position[k];
            state->position[k] = v;
            work->axisMask |= static_cast<uint16_t>(kAxisX << k);
        }
        if (work->words.has(kCentreLetters[k])) {
            float c = ncWordValue(work->block, work->words, kCentreLetters[k], config->itoF) *
                      config->scaleIJK[k];
            if (!absoluteCentre) c += state->previousPosition[k];
            state->arcCentre[k] = c;
            work->axisMask |= static_cast<uint16_t>(kAxisI << k);
        } else if (!absoluteCentre) {
            state->arcCentre[k] = state->previousPosition[k];
        } else {
            work->axisMask |= static_cast<uint16_t>(kAxisI << k);
        }
    }
    if (work->words.has('R')) work->axisMask |= kAxisR;
    memcpy(work->start, state->previousPosition, sizeof work->start);
    memcpy(work->end, state->position, sizeof work->end);
    memcpy(work->centre, state->arcCentre, sizeof work->centre);
}

// The list values of the block; compensation numbers only count while
// their compensation is active.
void prepareStatistics(const NcModalState* state, NcMotionWork* work) {
    auto registerValue = [work](int which) {
        int32_t n = ncTruncate(work->registerValues[which]);
        return n < 0 ? (n == INT32_MIN ? INT32_MAX : -n) : n;
    };
    const uint32_t* g = state->gModal;
    work->fValue = registerValue(kRegisterF);
    work->feed = std::fabs(work->registerValues[kRegisterF]);
    work->sValue = registerValue(kRegisterS);
    if (isSet(g, 41) || isSet(g, 42)) work->dValue = registerValue(kRegisterD);
    if (isSet(g, 43) || isSet(g, 44)) work->hValue = registerValue(kRegisterH);
    for (int k = 0; k < 3; ++k) work->boxMin[k] = work->boxMax[k] = kNcRangeUnset;
}

double length3(const float a[3], const float b[3]) {
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        double d = static_cast<double>(b[k]) - a[k];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// Rapids (G00, G28, G29) take time at the machine's rapid feed and cut
// nothing; every other straight move, including a G02/G03 without centre
// data, cuts at the programmed feed. Only G01 widens the cutting ranges.
void straightMove(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
                  MotionRecord* record) {
    if ((work->axisMask & (kAxisX | kAxisY | kAxisZ)) == 0) return;
    record->kind = kMotionLine;
    record->modeFlags = work->modeFlags;
    record->gCode = static_cast<int16_t>(work->motion);
    record->line.axisMask = work->axisMask;
    ncStorePoint(record->line.start, work->start);
    ncStorePoint(record->line.end, work->end);
    ncRangeWidenPair(state->pathMin, state->pathMax, work->start, work->end);
    if (work->motion == 1) {
        ncRangeWidenPair(work->boxMin, work->boxMax, work->start, work->end);
        widenByBox(state->cutMin, state->cutMax, *work);
    }
    double length = length3(work->start, work->end);
    bool rapid = work->motion == 0 || work->motion == 28 || work->motion == 29;
    if (rapid) {
        if (config->feedG00 > 0.0f) work->time = ncMoveSeconds(length, config->feedG00);
    } else {
        work->cutLen = length;
        if (work->feed > 0.0f) work->time = ncMoveSeconds(length, work->feed);
    }
}

// G92 sets the position without moving; the axis words were taken over.
void preset(NcMotionWork* work, MotionRecord* record) {
    if ((work->axisMask & (kAxisX | kAxisY | kAxisZ)) == 0) return;
    record->kind = kMotionPreset;
    record->modeFlags = work->modeFlags;
    record->gCode = 92;
    ncStorePoint(record->preset.position, work->end);
}

void dispatch(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
              MotionRecord* record) {
    Branch branch =
        work->motion >= 0 && work->motion < 100 ? kBranches[work->motion] : Branch::None;
    switch (branch) {
        case Branch::Straight: straightMove(config, state, work, record); break;
        case Branch::Arc:
            // Without I, J, K or R there is no circle to follow.
            if (work->axisMask & (kAxisI | kAxisJ | kAxisK | kAxisR)) {
                ncArcStep(config, state, work, record);
            } else {
                straightMove(config, state, work, record);
            }
            break;
        case Branch::Cycle: ncCycleStep(config, state, work, record); break;
        case Branch::Preset: preset(work, record); break;
        case Branch::None: break;
    }
}

// Distinct values in order of first use; 0 is the free slot, so a value of
// 0 is never listed, and a full list drops further values.
void listAdd(int32_t list[kNcListSize], int32_t value) {
    for (int i = 0; i < kNcListSize; ++i) {
        if (list[i] == value) return;
        if (list[i] == 0) {
            list[i] = value;
            return;
        }
    }
}

// One slot per cycle code; its high 16 bits count the holes (wrapping in
// 16 bits like the key itself).
void cycleAdd(int32_t list[kNcListSize], int32_t key) {
    uint32_t k = static_cast<uint32_t>(key);
    for (int i = 0; i < kNcListSize; ++i) {
        uint32_t slot = static_cast<uint32_t>(list[i]);
        if (slot == 0) {
            list[i] = key;
            return;
        }
        if ((slot & 0xFFFF) == (k & 0xFFFF)) {
            uint32_t holes = ((slot >> 16) + (k >> 16)) & 0xFFFF;
            list[i] = static_cast<int32_t>(holes << 16 | (slot & 0xFFFF));
            return;
        }
    }
}

// Coordinates beyond this, and values that are not numbers, come only from
// runaway words: sixty-digit numbers, increments or scales past any
// machine. Such a block is refused, so that no infinity reaches the ranges,
// times, views or exports; within the limit every difference, square and
// sum that those form stays finite.
constexpr float kCoordinateLimit = 1.0e15f;

// The floats are tested two at a time, as the halves of 64-bit words.
// Without its sign a float's bits grow with its magnitude, and infinities
// and NaNs lie above every finite value; adding the room left between the
// limit and 2^31 sets a half's top bit exactly when it passes the limit,
// and no carry crosses into the other half. bytes must be a multiple of 8.
template <size_t bytes>
bool withinLimit(const void* floats) {
    constexpr uint64_t kRoom = 0x7FFFFFFFu - std::bit_cast<uint32_t>(kCoordinateLimit);
    uint64_t words[bytes / 8];
    memcpy(words, floats, sizeof words);
    uint64_t over = 0;
    for (uint64_t w : words) over |= (w & 0x7FFFFFFF7FFFFFFFull) + (kRoom << 32 | kRoom);
    return (over & 0x8000000080000000ull) == 0;
}

bool positionInRange(const NcModalState& state) {
    const float position[4] = {state.position[0], state.position[1], state.position[2], 0.0f};
    return withinLimit<16>(position);
}

// The record's floats (a preset's three with the zero bytes after them). A
// line, an arc or a preset ends at the position later blocks start from;
// the last hole of a cycle and a block without a record have the position
// checked on its own.
bool inRange(const NcModalState& state, const MotionRecord& r) {
    switch (r.kind) {
        case kMotionPreset: return withinLimit<16>(r.preset.position);
        case kMotionLine: return withinLimit<24>(r.line.start);
        case kMotionArc: return withinLimit<48>(r.arc.centre);
        case kMotionCycle:
            return withinLimit<40>(r.cycle.start) && withinLimit<8>(&r.cycle.stepX) &&
                   positionInRange(state);
        default: return positionInRange(state);
    }
}

void addStatistics(NcModalState* state, const NcMotionWork* work, const MotionRecord* record) {
    NcToolStats& tool = state->tools[work->toolNumber];
    if (isSet(state->mModal, 6)) tool.changeCount += 1;
    if (record->kind == kMotionNone) return;
    tool.cutLength += work->cutLen;
    tool.machiningTime += work->time;
    listAdd(tool.dList, work->dValue);
    listAdd(tool.hList, work->hValue);
    listAdd(tool.fList, work->fValue);
    listAdd(tool.sList, work->sValue);
    if (work->cycleKey != 0) cycleAdd(tool.cycleList, work->cycleKey);
    widenByBox(tool.rangeMin, tool.rangeMax, *work);
}

}  // namespace

void ncWordIndexBuild(NcWordIndex* index, const NcBlockText* block) {
    memset(index->slot, -1, sizeof index->slot);
    // Most blocks hold a few words at the front and empty slots after them.
    int last = kNcWordSlots - 1;
    while (last >= 0 && block->words[last].letter == 0) --last;
    unsigned g = 0, m = 0;
    uint8_t flags = 0;
    for (int i = last; i >= 0; --i) {
        uint8_t letter = block->words[i].letter;
        flags |= block->words[i].flags;
        if (letter >= 'A' && letter <= 'Z') index->slot[letter - 'A'] = static_cast<int8_t>(i);
        g = g << 1 | (letter == 'G');
        m = m << 1 | (letter == 'M');
    }
    index->gSlots = static_cast<uint16_t>(g);
    index->mSlots = static_cast<uint16_t>(m);
    index->flags = flags;
}

void ncWordIndexRefresh(NcWordIndex* index, const NcBlockText* block, char letter) {
    index->slot[letter - 'A'] = -1;
    for (int i = 0; i < kNcWordSlots; ++i) {
        if (block->words[i].letter == static_cast<uint8_t>(letter)) {
            index->slot[letter - 'A'] = static_cast<int8_t>(i);
            return;
        }
    }
}

float ncWordValue(const NcBlockText* block, const NcWordIndex& index, char letter, float scale) {
    int slot = index.slotOf(letter);
    if (slot < 0) return 0.0f;
    float value = block->words[slot].value;
    bool scaled = (block->words[slot].flags & NcWordNoPoint) != 0 && scale > 0.0f;
    return scaled ? value * scale : value;
}

int32_t ncModalReset(NcModalState* state, const uint32_t initialGModal[4]) {
    if (state == nullptr || initialGModal == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncModalReset(args)", 0);
    }
    memset(state, 0, sizeof *state);
    float* corners[] = {state->pathMin, state->pathMax, state->cutMin, state->cutMax};
    for (float* corner : corners) {
        for (int k = 0; k < 3; ++k) corner[k] = kNcRangeUnset;
    }
    for (NcToolStats& tool : state->tools) {
        for (int k = 0; k < 3; ++k) tool.rangeMin[k] = tool.rangeMax[k] = kNcRangeUnset;
    }
    // Bits 0 to 99 are G codes; the rest of the set stays clear.
    memcpy(state->gModal, initialGModal, 3 * sizeof(uint32_t));
    state->gModal[3] = initialGModal[3] & 0xFu;
    return 1;
}

int32_t ncModalUpdate(const NcMachineConfig* config, NcModalState* state, NcBlockText* block,
                      MotionRecord* record) {
    if (config == nullptr || state == nullptr || block == nullptr || record == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncModalUpdate(args)", 0);
    }
    NcMotionWork work;
    prepare(config, state, &work, record);
    if (block->kind == KindStatement) state->blockNotes = ncNoteBit(kNcNoteStatement);
    if (block->analysisNotes & kNcSpacedWord) state->blockNotes |= ncNoteBit(kNcNoteSpacedWord);
    if (block->analysisNotes & kNcSignedVariable) state->blockNotes |= ncNoteBit(kNcNoteVariable);
    // Comments, macro statements and file headers execute nothing.
    if (block->kind != KindWords && block->kind != KindBareNumbers) return 1;
    work.block = block;
    ncWordIndexBuild(&work.words, block);
    if (work.words.flags & NcWordVariable) state->blockNotes |= ncNoteBit(kNcNoteVariable);

    readGCodes(config, state, &work);
    chooseMotion(state, &work);
    readMCodes(state, &work, block);
    keepModalValues(state, &work);
    fillHeader(state, &work, record);
    if (work.moveAllowed && work.motion >= 0) {
        choosePlane(&work);
        readAxisWords(config, state, &work);
        if (isSet(state->gModal, 68)) ncRotationStep(state, &work);
        prepareStatistics(state, &work);
        dispatch(config, state, &work, record);
        if (!inRange(*state, *record)) return ncFail(NcStatusCoordinateRange, block->text, 0);
        addStatistics(state, &work, record);
    }
    return 1;
}

int32_t ncRangeUpdate(float min[3], float max[3], const float point[3]) {
    if (min == nullptr || max == nullptr || point == nullptr) {
        return ncFail(NcStatusInvalidArgument, "Error::ncRangeUpdate(args)", 0);
    }
    ncRangeWiden(min, max, point);
    return 1;
}
