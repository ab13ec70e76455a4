// The engine configuration record: the one way the machine definition and
// the tool table reach the engine. The engine reads it and never writes it.
#pragma once

#include <cstdint>

// Up to 32 replacement pairs of up to 63 characters each, every entry
// NUL-terminated, and the empty entry that ends the list: sized so that a
// full table is never cut.
constexpr int kNcReplacePairs = 32;
constexpr int kNcReplaceEntryMax = 63;
constexpr int kNcReplaceListSize = kNcReplacePairs * (kNcReplaceEntryMax + 1) + 1;
constexpr int kNcToolCount = 100;

// Bits of NcMachineConfig::options.
constexpr int32_t kNcOptionIjkFollowsDistanceMode = 0x1;  // I, J, K follow G90/G91
constexpr int32_t kNcOptionNoMotionModal = 0x2;  // G00-G03 are not modal
constexpr int32_t kNcOptionIgnoreSpaces = 0x4;   // loading drops every space

struct NcMachineConfig {
    float scaleXYZ[3];  // factors applied to X, Y, Z words
    float scaleIJK[3];  // factors applied to I, J, K words
    float itoF;         // a word written without a point is multiplied by it
    // Search strings and their replacements, one after another, each
    // NUL-terminated; an empty string ends each list. Pair k of both lists
    // belongs together.
    char replaceFrom[kNcReplaceListSize];
    char replaceTo[kNcReplaceListSize];
    float toolRadius[kNcToolCount];  // half the tool table's diameter
    float feedG00;                   // rapid feed, mm/min
    float timeTC;                    // seconds per tool change
    int32_t options;                 // kNcOption* bits
    void* progressWindow;  // the load's progress dialog; carried, never used
};
