// The fixed-size record the interpreter yields for every executed block; the
// path store keeps these byte for byte, so the layout is binding.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Record types (low byte of the kind word).
enum NcMotionKind : uint8_t {
    kMotionNone = 0,
    kMotionPreset = 1,  // G92 coordinate preset
    kMotionLine = 2,
    kMotionArc = 3,
    kMotionCycle = 4,
};

// Bits of MotionRecord::modeFlags.
constexpr uint8_t kModePlaneXY = 0x01;  // G17
constexpr uint8_t kModePlaneZX = 0x02;  // G18
constexpr uint8_t kModePlaneYZ = 0x04;  // G19
constexpr uint8_t kModeG41 = 0x10;
constexpr uint8_t kModeG42 = 0x20;
constexpr uint8_t kModeG43 = 0x40;
constexpr uint8_t kModeG44 = 0x80;

// Bits of MotionLine::axisMask.
constexpr uint16_t kAxisX = 0x01, kAxisY = 0x02, kAxisZ = 0x04;
constexpr uint16_t kAxisI = 0x08, kAxisJ = 0x10, kAxisK = 0x20;
constexpr uint16_t kAxisR = 0x40;

#pragma pack(push, 1)

struct MotionLine {
    uint16_t axisMask;  // words present in the block (I, J, K also when retained)
    float start[3];
    float end[3];
};

struct MotionArc {
    float centre[3];
    float start[3];
    float end[3];
    float radius;     // never negative
    float angleFrom;  // [0, 360): where the counter-clockwise sweep begins
    float angleTo;    // > angleFrom, at most angleFrom + 360
};

struct MotionCycle {
    float start[3];   // position before the block
    float rPoint[3];  // first hole; Z = R level
    float bottom[3];  // first hole; Z = hole bottom
    float toolRadius;
    int16_t repeatCount;  // number of holes
    float stepX;          // distance between holes, only under G91
    float stepY;
};

struct MotionPreset {
    float position[3];
};

// MotionRecord::programNumber of a program whose number the field cannot
// hold (above 32767): never one of the numbers a filter can hide.
constexpr int16_t kNcProgramUnfit = -1;

struct MotionRecord {
    uint8_t kind;       // NcMotionKind; with modeFlags the little-endian kind word
    uint8_t modeFlags;  // kMode* bits
    int16_t gCode;      // motion code of the block
    int16_t programNumber;
    int16_t toolNumber;  // 0 to 99
    union {
        MotionLine line;
        MotionArc arc;
        MotionCycle cycle;
        MotionPreset preset;
        uint8_t raw[50];  // bytes a type does not use stay 0
    };
};

#pragma pack(pop)

// Fields of a packed record may lie at any address, so a point is copied
// out (or in) whole instead of being read through a float pointer.
struct Point3 {
    float v[3];
};

inline Point3 ncLoadPoint(const float* field) {
    Point3 p;
    std::memcpy(p.v, field, sizeof p.v);
    return p;
}

inline void ncStorePoint(float* field, const float v[3]) { std::memcpy(field, v, 3 * sizeof(float)); }

// Stored files are little-endian and are written as they lie in memory.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(MotionLine) == 26);
static_assert(sizeof(MotionArc) == 48);
static_assert(sizeof(MotionCycle) == 50);
static_assert(sizeof(MotionRecord) == 58);
static_assert(std::is_trivially_copyable_v<MotionRecord>);
static_assert(offsetof(MotionRecord, kind) == 0);
static_assert(offsetof(MotionRecord, modeFlags) == 1);
static_assert(offsetof(MotionRecord, gCode) == 2);
static_assert(offsetof(MotionRecord, programNumber) == 4);
static_assert(offsetof(MotionRecord, toolNumber) == 6);
static_assert(offsetof(MotionRecord, line.axisMask) == 8);
static_assert(offsetof(MotionRecord, line.start) == 10);
static_assert(offsetof(MotionRecord, line.end) == 22);
static_assert(offsetof(MotionRecord, arc.centre) == 8);
static_assert(offsetof(MotionRecord, arc.start) == 20);
static_assert(offsetof(MotionRecord, arc.end) == 32);
static_assert(offsetof(MotionRecord, arc.radius) == 44);
static_assert(offsetof(MotionRecord, arc.angleFrom) == 48);
static_assert(offsetof(MotionRecord, arc.angleTo) == 52);
static_assert(offsetof(MotionRecord, cycle.start) == 8);
static_assert(offsetof(MotionRecord, cycle.rPoint) == 20);
static_assert(offsetof(MotionRecord, cycle.bottom) == 32);
static_assert(offsetof(MotionRecord, cycle.toolRadius) == 44);
static_assert(offsetof(MotionRecord, cycle.repeatCount) == 48);
static_assert(offsetof(MotionRecord, cycle.stepX) == 50);
static_assert(offsetof(MotionRecord, cycle.stepY) == 54);
static_assert(offsetof(MotionRecord, preset.position) == 8);
