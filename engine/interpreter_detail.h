// What the interpreter's phases and its geometric steps share inside one
// ncModalUpdate call: the block's word index and the working values.
// Internal to the engine.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "engine/block_text.h"
#include "engine/machine_config.h"
#include "engine/modal_state.h"
#include "engine/motion_record.h"

// The first slot of every letter, built in one pass over the 16 slots so
// that the phases look words up without scanning the block again.
struct NcWordIndex {
    int8_t slot[26];  // 'A' to 'Z'; -1 when the block has no such word
    uint16_t gSlots;  // bit i: slot i holds a G word
    uint16_t mSlots;  // bit i: slot i holds an M word
    uint8_t flags;    // the NcWord* flags of all words together

    int slotOf(char letter) const { return slot[letter - 'A']; }
    bool has(char letter) const { return slot[letter - 'A'] >= 0; }
};

void ncWordIndexBuild(NcWordIndex* index, const NcBlockText* block);
// Finds the first word with letter again, after the word in its slot was
// erased from the block.
void ncWordIndexRefresh(NcWordIndex* index, const NcBlockText* block, char letter);

// The value of the first word with letter, 0 when absent: multiplied by
// scale when it was written without a point and scale > 0 (a scale of 0
// reads the number as written), exactly as ncAddrFind reads it.
float ncWordValue(const NcBlockText* block, const NcWordIndex& index, char letter, float scale);

// Truncates towards zero. NaN reads as 0 and values beyond the 32-bit range
// are clamped, so that no word, however written, makes the conversion
// undefined. Inline: the interpreter truncates several words per block, and
// nearly all of them pass the one range test.
inline int32_t ncTruncate(float value) {
    if (value > -2147483648.0f && value < 2147483648.0f) return static_cast<int32_t>(value);
    if (value != value) return 0;
    return value > 0.0f ? INT32_MAX : INT32_MIN;
}

// hypot of two floats: their squares and sum are formed in double, where
// they are exact or nearly so, and the root is rounded once to float. Every
// step is correctly rounded, so both builds give the same bits.
inline float ncHypot(float a, float b) {
    double da = a, db = b;
    return static_cast<float>(std::sqrt(da * da + db * db));
}

// ncRangeUpdate without its argument checks, for the interpreter's own
// calls: it runs several times per block and must inline.
inline void ncRangeWiden(float min[3], float max[3], const float point[3]) {
    for (int k = 0; k < 3; ++k) {
        float v = point[k];
        if (!(v > kNcRangeUnset)) continue;  // unset (or NaN) coordinates do not count
        if (!(min[k] > kNcRangeUnset) && !(max[k] > kNcRangeUnset)) {
            min[k] = max[k] = v;
        } else {
            if (v < min[k]) min[k] = v;
            if (v > max[k]) max[k] = v;
        }
    }
}

// ncRangeWiden by a, then by b, in one pass: a move widens the ranges by
// its two ends, and a block by the two corners of its extent.
inline void ncRangeWidenPair(float min[3], float max[3], const float a[3], const float b[3]) {
    for (int k = 0; k < 3; ++k) {
        float lo = min[k], hi = max[k];
        bool set = lo > kNcRangeUnset || hi > kNcRangeUnset;
        for (float v : {a[k], b[k]}) {
            if (!(v > kNcRangeUnset)) continue;
            if (!set) {
                lo = hi = v;
                set = true;
                continue;
            }
            if (v < lo) lo = v;
            if (v > hi) hi = v;
        }
        min[k] = lo;
        max[k] = hi;
    }
}

// Seconds to cover length mm at feed mm/min (feed > 0). Formed in double,
// so that a move of a whole number of seconds comes out whole: 1/60 held as
// a float is a hair too large and every time came out a hair short.
inline double ncMoveSeconds(double length, double feed) {
    return length * 60.0 / feed;
}

// The modal values of NcModalState::registers, in the order of
// NcMotionWork::registerValues.
enum NcRegister { kRegisterT, kRegisterF, kRegisterS, kRegisterD, kRegisterH };

// The working values of one call, prepared by the interpreter's phases and
// completed by the branch that handles the block's motion.
struct NcMotionWork {
    const NcBlockText* block;
    NcWordIndex words;
    int32_t motion;                     // the block's motion code, -1 = none
    bool moveAllowed;                   // false for G04, G51, G65, G66, G68 blocks
    bool storeRegisters;                // false for G04, G65, G66, M98 blocks
    uint8_t modeFlags;                  // kMode* bits of the record
    uint16_t axisMask;                  // kAxis* bits
    int a, b, n;                        // plane axes: first, second, normal (0 = X)
    float start[3], end[3], centre[3];  // the block's points, rotated by G68
    float boxMin[3], boxMax[3];         // cutting extent of the block
    double cutLen, time;                // mm and seconds of this block
    float registerValues[6];  // first T, F, S, D, H of the registers, else 0; then a spare
    int32_t dValue, hValue, fValue, sValue, cycleKey;  // whole values for the report's lists
    float feed;  // the F word as written, mm/min: times use it, not the whole fValue
    int16_t toolNumber;
};

// The geometric branches, called by ncModalUpdate.

// Defines the coordinate rotation from the G68 block being read.
void ncRotationDefine(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work);
// Rotates the block's start, end and centre while G68 is active.
void ncRotationStep(NcModalState* state, NcMotionWork* work);
// Circular interpolation G02/G03 in radius or centre form: a type 3 record.
void ncArcStep(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
               MotionRecord* record);
// A canned drilling cycle: a type 4 record, or none.
void ncCycleStep(const NcMachineConfig* config, NcModalState* state, NcMotionWork* work,
                 MotionRecord* record);
