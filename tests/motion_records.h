// Motion records as the translation makes them, for the tests of the
// writers, the renderer and the paint: every field given, the rest zero.
#pragma once

#include "engine/motion_record.h"

#include <algorithm>
#include <initializer_list>

inline MotionRecord lineRecord(int g, uint8_t flags, uint16_t axes,
                               std::initializer_list<float> from, std::initializer_list<float> to) {
    MotionRecord r = {};
    r.kind = kMotionLine;
    r.gCode = static_cast<int16_t>(g);
    r.modeFlags = flags;
    r.line.axisMask = axes;
    std::copy(from.begin(), from.end(), r.line.start);
    std::copy(to.begin(), to.end(), r.line.end);
    return r;
}

// Angles in degrees; the sweep runs counter-clockwise from a0 to a1 (a
// clockwise arc is stored from its end point).
inline MotionRecord arcRecord(int g, uint8_t flags, std::initializer_list<float> centre,
                              float radius, std::initializer_list<float> from,
                              std::initializer_list<float> to, float a0, float a1) {
    MotionRecord r = {};
    r.kind = kMotionArc;
    r.gCode = static_cast<int16_t>(g);
    r.modeFlags = flags;
    std::copy(centre.begin(), centre.end(), r.arc.centre);
    std::copy(from.begin(), from.end(), r.arc.start);
    std::copy(to.begin(), to.end(), r.arc.end);
    r.arc.radius = radius;
    r.arc.angleFrom = a0;
    r.arc.angleTo = a1;
    return r;
}
