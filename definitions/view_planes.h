// The four planes a pane can show, the default arrangement of the panes and
// the default angles of each plane: the settings file stores them and the
// views show them, so both take them from here.
#pragma once

enum ViewKind { kViewXY = 0, kViewXZ = 1, kViewYZ = 2, kViewXYZ = 3 };
constexpr int kPaneCount = 4;

// YZ, XYZ over XY, XZ; and YZ, XZ, XY stacked left of a large XYZ.
constexpr int kDefaultMatrix1[kPaneCount] = {2, 3, 0, 1};
constexpr int kDefaultMatrix2[kPaneCount] = {2, 1, 0, 3};

// Degrees about X, Y and Z per plane. With these XY shows +X right and +Y
// up, XZ shows (x, z) and YZ shows (-y, z); XYZ is an oblique view from the
// front right.
constexpr float kDefaultAngles[kPaneCount][3] = {
    {180, 180, 180},
    {90, 180, 180},
    {270, 0, 90},
    {120, 180, 226},
};

// True when kinds holds each of the four planes exactly once.
inline bool IsValidMatrix(const int kinds[kPaneCount]) {
    int seen = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        if (kinds[i] < 0 || kinds[i] >= kPaneCount) return false;
        seen |= 1 << kinds[i];
    }
    return seen == 0xF;
}
