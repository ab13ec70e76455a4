// How a motion record is classed for drawing and export: rapid, cutting,
// cutting along Z only, or under cutter compensation.
#pragma once

#include "engine/motion_record.h"

enum MotionStyle { kStyleRapid = 0, kStyleCutting = 1, kStyleCuttingZ = 2, kStyleCompensation = 3 };

// Display mask bits of the four styles (the views' "Status" value).
constexpr uint32_t kShowRapid = 0x10;
constexpr uint32_t kShowCutting = 0x20;
constexpr uint32_t kShowCuttingZ = 0x40;
constexpr uint32_t kShowCompensation = 0x80;

constexpr uint32_t styleShowBit(int style) { return kShowRapid << style; }

inline bool IsRapidCode(int gCode) { return gCode == 0 || gCode == 28 || gCode == 29; }

inline bool UnderCompensation(const MotionRecord& r) {
    return (r.modeFlags & (kModeG41 | kModeG42)) != 0;
}

// Style of a straight move.
inline MotionStyle LineStyle(const MotionRecord& r) {
    if (IsRapidCode(r.gCode)) return kStyleRapid;
    if (UnderCompensation(r)) return kStyleCompensation;
    if ((r.line.axisMask & (kAxisX | kAxisY | kAxisZ)) == kAxisZ) return kStyleCuttingZ;
    return kStyleCutting;
}

// Style of an arc.
inline MotionStyle ArcStyle(const MotionRecord& r) {
    return UnderCompensation(r) ? kStyleCompensation : kStyleCutting;
}

// Indices of the arc plane's first, second and normal axes.
struct PlaneAxes {
    int first, second, normal;
};

inline PlaneAxes PlaneAxesOf(uint8_t modeFlags) {
    if (modeFlags & kModePlaneZX) return {2, 0, 1};
    if (modeFlags & kModePlaneYZ) return {1, 2, 0};
    return {0, 1, 2};
}
